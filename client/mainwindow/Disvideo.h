#pragma once

#include <QPointer>
#include <QWidget>

class TCppWebBrowser;

// The video window: one browser filling an ordinary framed window at the bottom-right corner of
// the screen. Closing hides it, stops its page and gives back its native window; the widget stays.
class TfrmDisVideo : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmDisVideo(QWidget *parent = nullptr);

    TCppWebBrowser *cppVideo() const { return m_cppVideo; }

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void placeAtCorner();

    TCppWebBrowser *m_cppVideo = nullptr;
    bool m_placedWithFrame = false;
};

extern QPointer<TfrmDisVideo> frmDisVideo;
