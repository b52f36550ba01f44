#include "MainCommandEffects.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "Dismess.h"
#include "Disvideo.h"
#include "MainCommands.h"
#include "SettingsFile.h"

#include "platform/systembrowser.h"

#include <QAction>
#include <QPointer>
#include <QTime>

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

TfrmDisMess *OpenInNewTab(const QString &url)
{
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
    for (TfrmDisVideo *window : AppWindowsOfClass<TfrmDisVideo>())
        window->close();
    auto *video = CreateForm<TfrmDisVideo>();
    ShowNormal(video);
    video->cppVideo()->Navigate(url);
    return video;
}

bool OpenWebHome(const QString &address)
{
    return platform::OpenInSystemBrowser(address);
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
    // Written only when the settings file exists.
    WriteSetting(QStringLiteral("exepara"), QStringLiteral("skin"), SkinOfRequest(request));
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
