#pragma once

#include "PopupBrowserForm.h"

#include <QPointer>

class QFrame;
class QLabel;
class QPushButton;

// The framed pop-up: a drawn background with a title label and a close button around the
// browser. The login window shows the registration and password pages in it; the opener sets
// the title label, the window never does.
class TfrmIEOne : public PopupBrowserForm
{
    Q_OBJECT

public:
    explicit TfrmIEOne(QWidget *parent = nullptr);

    QLabel *ImageBack = nullptr;
    QLabel *LabelTitle = nullptr;
    QFrame *Panel1 = nullptr;
    QPushButton *BitBtn1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BitBtn1Click();
    // A left press on the background moves the window with the mouse.
    void ImageBackMouseDown(Qt::MouseButton button);
};

// The framed pop-up made at start-up, shown the first time the login window needs it.
extern QPointer<TfrmIEOne> frmIEOne;
