#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>

class TCppWebBrowser;
class TDocHostHandler;

// The one link pop-up of the main window: frameless, always on top, filled by its browser. Its
// page hides it ("action=close", "action=min") or reloads it ("action=refresh"); closing it
// through the system only hides it.
class TfrmPopIe : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmPopIe(QWidget *parent = nullptr);

    TCppWebBrowser *ie1 = nullptr;

    // What the main window does to open a page here: apply the width and height when given, centre
    // the window on the screen when asked, load a blank page and wait for it, give the browser the
    // host handler's look (when a handler is given), navigate to `url` and show the window. Lets
    // events run while it waits for the blank page; when that wait runs out, nothing more is done.
    // An address that is no http or https one changes nothing.
    void openPage(const QString &url, std::optional<int> width, std::optional<int> height, bool centre,
                  const TDocHostHandler *hostHandler);

private:
    void ie1BeforeNavigate2(const QString &url, bool &cancel);
    void blankAfterHide(int openCount);
    void refreshWhenIdle();

    // Counts open requests, so a blank page queued by a hide never replaces a later page.
    int m_openCount = 0;
    // Centred at the first show with the size it has then; later opens keep the place.
    bool m_shownOnce = false;
};

extern QPointer<TfrmPopIe> frmPopIe;
