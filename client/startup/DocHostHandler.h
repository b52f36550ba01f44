#pragma once

#include <QObject>

class TCppWebBrowser;

// Gives a browser the look of a dialog: no context menu, no scroll bars, no border and page text
// that cannot be selected. One handler serves several browsers; it holds no browser itself.
class TDocHostHandler : public QObject
{
    Q_OBJECT

public:
    explicit TDocHostHandler(QObject *owner = nullptr);

    // Applies to the browser's current page and every later page of that browser.
    void attach(TCppWebBrowser *browser) const;
};
