#pragma once

#include <QTabWidget>

// The tabbed window's page control: a left double-click on the tab strip asks for the current
// page to be deleted. Double-clicks inside a page reach the page's browser, not this control.
class TPageControlEx : public QTabWidget
{
    Q_OBJECT

public:
    explicit TPageControlEx(QWidget *parent = nullptr);

signals:
    void leftDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
