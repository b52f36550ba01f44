#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Who may drive the shell, and what may be loaded into its windows. Pure: the browser layer packs
// what it knows about a navigation into a NavigationRequest and these functions decide.

enum class NavigationKind {
    Shell,       // a load the shell started itself (Navigate)
    Link,        // a link the page followed
    Form,        // a form the page sent
    BackForward, // the history moved
    Reload,      // the page was reloaded
    Redirect,    // the server answered with a redirect
    Other,       // anything else a page started (script, meta refresh)
};

struct NavigationRequest
{
    QUrl url;
    NavigationKind kind = NavigationKind::Other;
    bool mainFrame = true;
    // The page that started it, as the browser knows it: for the main frame the page shown before,
    // for a redirect the address redirected from, for a frame the page holding it. Empty when the
    // browser has shown nothing.
    QUrl initiator;
    // The origins of the frames the page holds; a frame's navigation cannot be told apart from
    // another frame's, so one foreign frame makes every frame's navigation foreign.
    QStringList frameOrigins;
};

// "scheme://host:port" with the port spelled out, for http and https only; empty for everything
// else (file, data, about and the like have no origin a service can own).
QString OriginOf(const QUrl &url);

// The origins commands may come from: the web root's and those of `extra` (a build setting,
// addresses separated by blanks, commas or semicolons). Unusable entries are left out.
QStringList TrustedOrigins(const QString &webRoot, const QString &extra);

// True when the navigation comes from the service, so the commands it carries may run. A load
// the shell starts itself counts as the service's when its own address has a trusted origin.
bool MayCommand(const NavigationRequest &request, const QStringList &trustedOrigins);

// True for the addresses commands and the settings file may put into a window: http and https
// with a host, and "about:blank" only where `allowBlank` says the shell itself uses it.
bool IsLoadableAddress(const QString &address, bool allowBlank = false);
