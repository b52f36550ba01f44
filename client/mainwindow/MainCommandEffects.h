#pragma once

#include <QString>

class QAction;
class TCppWebBrowser;
class TfrmDisMess;
class TfrmDisVideo;
class TfrmMain;

// What the main window's command URLs do, carried out on real windows. The decisions come from
// MainCommands.h; these only act. Waits are bounded: a wait that runs out drops the rest of its
// command.

// The main window's before-navigate handlers: true when the URL was a command, which cancels the
// navigation. Effects on the browser that asked wait until its refused navigation has ended.
bool RunHeadCommand(TfrmMain &main, const QString &url);
bool RunBodyCommand(TfrmMain &main, const QString &url);

// Head "action=refresh": the body is refreshed once it has finished loading.
bool RefreshBodyWhenIdle(TCppWebBrowser *cppBody);

// Body "tarwin=1": every tabbed window is shown in its normal state, the last one (or a new one)
// gets an active tab titled "Telvar投资" that loads the whole URL. Nothing happens (null) for a
// URL that is no http or https address, or when kMostTabs tabs are open already.
TfrmDisMess *OpenInNewTab(const QString &url);

// Body "tarwin=2": every video window is closed and a fresh one shows the whole URL; nothing
// happens (null) for a URL that is no http or https address.
TfrmDisVideo *OpenInNewVideoWindow(const QString &url);

// Body "action=webhome": the system's browser opens the address (http and https only, and not
// more often than kMostBrowserLaunchesPerMinute).
bool OpenWebHome(const QString &address);

// Body "action=skin": the extended request goes to the service through the hidden `cppadd`, the
// skin goes into the settings file, then `atRefesh3Page` reloads the three page areas.
bool SwitchSkin(const QString &url, TCppWebBrowser *cppadd, QAction *atRefesh3Page);

// The text that follows the random number in the skin request.
QString SkinTimeText();

// The tabs of every tabbed page window together.
int LiveTabCount();

// New windows of the head and end areas load into the body area.
void SendNewWindowToBody(TCppWebBrowser *cppBody, TCppWebBrowser *&target);
