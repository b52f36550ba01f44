#pragma once

#include <QPointer>
#include <QWidget>

class QTimer;
class TCppWebBrowser;

// The message sprite: a small always-on-top window in the bottom-right corner of the screen with
// one page. Made hidden at start-up; its page can close (hide) it with "action=close".
class TfrmPopMess : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmPopMess(QWidget *parent = nullptr);

    TCppWebBrowser *web1 = nullptr;
    // A second small browser that nothing loads; it lies outside the sprite's area.
    TCppWebBrowser *webTime = nullptr;
    QTimer *Timer = nullptr;

private:
    void FormCreate();
    void web1BeforeNavigate2(const QString &url, bool &cancel);
    void TimerTimer() {}
};

extern QPointer<TfrmPopMess> frmPopMess;
