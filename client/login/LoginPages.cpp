// The registration and forgotten-password pages, shown in the framed pop-up.
#include "Flogin.h"

#include "PopupParts.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "client/popups/Unit_ieone.h"
#include "client/widgets/WindowMoves.h"

void TfrmLogin::cbRegClick()
{
    openFramedPage(QStringLiteral("/clilogin/reg.jsp"), QStringLiteral("用户注册"));
}

void TfrmLogin::Label4Click()
{
    openFramedPage(QStringLiteral("/clilogin/getpass.jsp"), QStringLiteral("忘记密码"));
}

void TfrmLogin::openFramedPage(const QString &path, const QString &title)
{
    // The framed pop-up is reused while one lives; after it was closed a new one is made.
    QPointer<TfrmIEOne> popup = qobject_cast<TfrmIEOne *>(LastAppWindowOfClass("TfrmIEOne"));
    if (!popup)
        popup = CreateForm<TfrmIEOne>();
    CentreOnScreen(popup);
    if (TCppWebBrowser *ie1 = PopupBrowser(popup.data()))
        NavigatePortal(ie1, path);
    PumpEvents();
    if (TCppWebBrowser *ie1 = PopupBrowser(popup.data()))
        ie1->setRegisterAsBrowser(true);
    PumpEvents();
    if (!popup)
        return;
    popup->show();
    if (QLabel *label = PopupTitleLabel(popup.data()))
        label->setText(title);
    PumpEvents();
    if (!popup)
        return;
    popup->raise();
    popup->activateWindow();
    if (TCppWebBrowser *ie1 = PopupBrowser(popup.data()))
        ie1->setFocus();
    PumpEvents();
}
