// The login exchange, the version check and the way into the main window.
#include "Flogin.h"

#include "LoginDecisions.h"
#include "Upgrader.h"
#include "VersionCheck.h"

#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "LoginSettings.h"
#include "MessageBoxes.h"
#include "client/mainwindow/Main.h"
#include "client/widgets/PictureBox.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>

namespace {

// The body text of a browser's page; empty when the page failed to load or cannot be read, so an
// error page never counts as an answer.
QString answerText(TCppWebBrowser *browser)
{
    if (!browser || !browser->LastLoadOk())
        return QString();
    return browser->BodyText();
}

} // namespace

void TfrmLogin::atLoginExecute()
{
    // A login already waiting for its answer is not started again.
    if (m_loginUnderWay)
        return;
    m_loginUnderWay = true;

    LoginRequest request;
    request.webRoot = FWebRoot;
    request.machineId = FMachineId;
    request.clientVersion = FClientVersion;
    request.userId = TrimLoginText(teUserId->text());
    request.userPass = TrimLoginText(teUserPass->text());
    request.userRole = FUserRole;
    const QString address = LoginAddress(request);
    Edit1->setText(address);

    const QPointer<TfrmLogin> self(this);
    web1->Navigate(address);
    // The wait for the answer is idle time: the main window's page areas get ready meanwhile.
    prepareMainPages();
    const bool answered = WaitWhileBusy(web1);
    if (!self)
        return;
    if (ApplicationQuitting()) {
        m_loginUnderWay = false;
        return;
    }
    // A page that did not come in time is dropped, so no late answer arrives.
    if (!answered)
        web1->releasePage();
    const LoginAnswer answer = InterpretLoginAnswer(answered ? answerText(web1) : QString());
    if (!self)
        return;

    if (answer.hasFields) {
        FTitle = answer.title;
        FUserInfo = answer.userInfo;
        showUserInMainWindow();
    }
    if (answer.status != LoginStatus::Ok) {
        finishLoginWithFailure(answer.message);
        return;
    }
    if (FVersionChecked) {
        m_loginUnderWay = false;
        atSaveIni->trigger();
        return;
    }
    startVersionCheck();
}

void TfrmLogin::prepareMainPages()
{
    if (!frmMain)
        return;
    for (TCppWebBrowser *area : {frmMain->cppHead, frmMain->cppBody, frmMain->cppEnd}) {
        if (area)
            area->prepare();
    }
}

void TfrmLogin::finishLoginWithFailure(const QString &message)
{
    m_loginUnderWay = false;
    ShowMessageBox({message, LoginFailedCaption(), BoxButtons::Ok, BoxIcon::None});
}

void TfrmLogin::showUserInMainWindow()
{
    if (!frmMain)
        return;
    frmMain->LabelMainTitle->setText(FTitle);
    frmMain->setWindowTitle(FTitle);
    frmMain->LabelMainUserInfo->setText(FUserInfo);
}

void TfrmLogin::startVersionCheck()
{
    // The check goes on when the page has loaded; a page that never comes ends the login.
    m_versionPending = true;
    m_versionLimit.start(BrowserWaitLimitMs());
    NavigatePortal(cppver, QStringLiteral("/clilogin/ver.html"));
}

void TfrmLogin::versionPageTimedOut()
{
    if (!m_versionPending)
        return;
    m_versionPending = false;
    cppver->releasePage();
    finishLoginWithFailure(LoginFailedMessage());
}

void TfrmLogin::cppverDocumentComplete(const QString &url)
{
    Q_UNUSED(url);
    // Every document of the version page a login asked for counts, not only the first; a page that
    // comes after the time limit ran out is ignored. One check at a time: a question may be open.
    if (!m_versionPending || m_versionChecking)
        return;
    m_versionLimit.stop();
    const QPointer<TfrmLogin> self(this);
    m_versionChecking = true;
    runVersionCheck();
    if (self)
        m_versionChecking = false;
}

void TfrmLogin::runVersionCheck()
{
    const QPointer<TfrmLogin> self(this);
    const QString text = WaitWhileBusy(cppver) ? answerText(cppver) : QString();
    if (!self)
        return;
    const VersionFields current{FLatestVersion, FMinVersion, FMaxVersion};
    bool accepts = false;
    if (OffersNewVersion(TakeVersionFields(text, current), FClientVersion))
        accepts = AskOkCancel(UpgradeQuestion(), UpgradeCaption());
    // A quit while the question was open ends the client and nothing else.
    if (!self || ApplicationQuitting())
        return;
    const VersionDecision decision = DecideVersionCheck(text, current, FClientVersion, accepts);
    FLatestVersion = decision.fields.latest;
    FMinVersion = decision.fields.min;
    FMaxVersion = decision.fields.max;
    FVersionChecked = true;
    m_loginUnderWay = false;

    if (decision.showExpiredNotice)
        ShowInfo(VersionExpiredNotice(), UpgradeCaption());
    // The upgrader stops this client itself; until then the login window stays as it is.
    if (decision.startUpgrader)
        StartUpgrader(FUserRole);
    if (self && decision.enterMainWindow)
        atSaveIni->trigger();
}

void TfrmLogin::atSaveIniExecute()
{
    StoreLoginSettings(teUserId->text(), teUserPass->text(), cbxSavePass->isChecked(),
                       cbxAutoLogin->isChecked());
    hide();
    atOpenMainWindowIe->trigger();
    if (!frmMain)
        return;
    frmMain->show();
    frmMain->raise();
    frmMain->activateWindow();
}

void TfrmLogin::atOpenMainWindowIeExecute()
{
    if (!frmMain)
        return;
    NavigatePortal(frmMain->cppHead, QStringLiteral("/clilogin/index01.jsp"));
    NavigatePortal(frmMain->cppBody, QStringLiteral("/clilogin/index02.jsp"));
    NavigatePortal(frmMain->cppEnd, QStringLiteral("/clilogin/index03.jsp"));
}

void TfrmLogin::atOpenMySpaceExecute()
{
    if (frmMain)
        NavigatePortal(frmMain->cppBody, QStringLiteral("/clilogin/myspace1.jsp"));
}

void TfrmLogin::NavigatePortal(TCppWebBrowser *browser, const QString &path)
{
    if (browser)
        browser->Navigate(FWebRoot + path);
}
