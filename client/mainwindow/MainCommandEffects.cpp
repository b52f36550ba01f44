#include "MainCommandEffects.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "Dismess.h"
#include "Disvideo.h"
#include "Main.h"
#include "MainCommands.h"
#include "SettingsFile.h"

#include "buildconfig.h"
#include "client/login/Flogin.h"
#include "client/popups/Popie.h"

#include "FloodLimits.h"
#include "NavigationTrust.h"
#include "PageControlEx.h"
#include "SystemBrowserLaunch.h"

#include <QAction>
#include <QPointer>
#include <QTime>
#include <QTimer>

#include <cstdlib>
#include <cstring>

namespace {

template <typename Form> QList<Form *> AppWindowsOfClass()
{
    QList<Form *> found;
    for (QWidget *window : AppWindows()) {
        // Exact class, as the window searches compare names.
        if (std::strcmp(window->metaObject()->className(), Form::staticMetaObject.className()) == 0)
            found.append(static_cast<Form *>(window));
    }
    return found;
}

// A navigation decision is pending while a before-navigate handler runs, and the engine finishes
// no load until it has returned: whatever waits for a browser, or acts on the one that asked, runs
// right after the handler instead.
template <typename Effect> void AfterRefusal(TfrmMain &main, Effect effect)
{
    const QPointer<TfrmMain> self(&main);
    QTimer::singleShot(0, &main, [self, effect] {
        if (self)
            effect(*self);
    });
}

void ShowNormal(QWidget *window)
{
    window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    window->show();
}

} // namespace

bool RefreshBodyWhenIdle(TCppWebBrowser *cppBody)
{
    const QPointer<TCppWebBrowser> body(cppBody);
    if (!WaitWhileBusy(body))
        return false;
    body->Refresh();
    return true;
}

int LiveTabCount()
{
    int tabs = 0;
    for (TfrmDisMess *window : AppWindowsOfClass<TfrmDisMess>())
        tabs += window->pageControl()->count();
    return tabs;
}

TfrmDisMess *OpenInNewTab(const QString &url)
{
    if (!IsLoadableAddress(url) || LiveTabCount() >= kMostTabs)
        return nullptr;
    TfrmDisMess *target = nullptr;
    for (TfrmDisMess *window : AppWindowsOfClass<TfrmDisMess>()) {
        ShowNormal(window);
        target = window;
    }
    if (!target) {
        target = CreateForm<TfrmDisMess>();
        ShowNormal(target);
    }
    TCppWebBrowser *browser = target->addBrowserTab(QStringLiteral("Telvar投资"));
    browser->Navigate(url);
    return target;
}

TfrmDisVideo *OpenInNewVideoWindow(const QString &url)
{
    if (!IsLoadableAddress(url))
        return nullptr;
    for (TfrmDisVideo *window : AppWindowsOfClass<TfrmDisVideo>())
        window->close();
    auto *video = CreateForm<TfrmDisVideo>();
    ShowNormal(video);
    video->cppVideo()->Navigate(url);
    return video;
}

bool OpenWebHome(const QString &address)
{
    return OpenPageAddressInSystemBrowser(address);
}

QString SkinTimeText()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

bool SwitchSkin(const QString &url, TCppWebBrowser *cppadd, QAction *atRefesh3Page)
{
    // The C library's generator, unseeded, in the range of the classic 15-bit one.
    const QString request = SkinRequestUrl(url, std::rand() % 32768, SkinTimeText());
    const QPointer<TCppWebBrowser> side(cppadd);
    const QPointer<QAction> refresh(atRefesh3Page);
    side->Navigate(request);
    if (!WaitWhileBusy(side))
        return false;
    // Written only when the settings file exists, and only a value short enough to be a skin.
    if (const std::optional<QString> skin = SkinToStore(request))
        WriteSetting(QStringLiteral("exepara"), QStringLiteral("skin"), *skin);
    if (refresh)
        refresh->trigger();
    return true;
}

void SendNewWindowToBody(TCppWebBrowser *cppBody, TCppWebBrowser *&target)
{
    const QPointer<TCppWebBrowser> body(cppBody);
    PumpEvents();
    if (!body)
        return;
    body->setRegisterAsBrowser(true);
    target = body;
}

bool RunHeadCommand(TfrmMain &main, const QString &url)
{
    const HeadCommand command = InterpretHeadUrl(url);
    switch (command.kind) {
    case HeadCommandKind::None:
        return false;
    case HeadCommandKind::Close:
        main.atClose->trigger();
        break;
    case HeadCommandKind::Max:
        main.atMax->trigger();
        break;
    case HeadCommandKind::Min:
        main.atMin->trigger();
        break;
    case HeadCommandKind::Refresh:
        AfterRefusal(main, [](TfrmMain &m) { RefreshBodyWhenIdle(m.cppBody); });
        break;
    case HeadCommandKind::OpenLinkPopup:
        AfterRefusal(main, [popup = command.popup](TfrmMain &m) {
            if (frmPopIe)
                frmPopIe->openPage(popup.address, popup.width, popup.height, popup.centre, m.FHostHandler);
        });
        break;
    }
    return true;
}

bool RunBodyCommand(TfrmMain &main, const QString &url)
{
    const BodyCommand command = InterpretBodyUrl(url, QStringLiteral(SORVANE_PORTAL_HOME));
    switch (command.kind) {
    case BodyCommandKind::None:
        return false;
    case BodyCommandKind::NewTab:
        OpenInNewTab(command.address);
        break;
    case BodyCommandKind::NewVideo:
        OpenInNewVideoWindow(command.address);
        break;
    case BodyCommandKind::Refresh:
        AfterRefusal(main, [](TfrmMain &m) { m.cppBody->Refresh(); });
        break;
    case BodyCommandKind::Back:
        AfterRefusal(main, [](TfrmMain &m) { m.cppBody->GoBack(); });
        break;
    case BodyCommandKind::Next:
        AfterRefusal(main, [](TfrmMain &m) { m.cppBody->GoForward(); });
        break;
    case BodyCommandKind::WebHome:
        OpenWebHome(command.address);
        break;
    case BodyCommandKind::Skin:
        AfterRefusal(main, [address = command.address](TfrmMain &m) {
            if (frmLogin)
                SwitchSkin(address, frmLogin->cppadd, m.atRefesh3Page);
        });
        break;
    }
    return true;
}
