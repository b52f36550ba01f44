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
    // Who started it. For a page's navigation the origin of the document that started it, as the
    // engine names it with the request (for a redirect chain, the document that started the
    // first request); for a load the shell started, the address the shell loaded, or the opener
    // it loads for. Empty when nobody is known. For a redirect of the main frame before the engine
    // named its initiator: the initiator the engine named for the chain's first request.
    QUrl initiator;
    // The addresses a redirect chain passed before this one, first hop first: each redirected.
    QList<QUrl> redirectedFrom;
    // The document shown in the window's main frame; a frame's navigation needs it trusted too.
    QUrl topDocument;
    // Whether `initiator` is the engine's own word. Before the request is made the browser
    // only knows the address and the kind; the engine names the initiator afterwards.
    bool initiatorKnown = false;
};

enum class CommandVerdict {
    Obey,
    Refuse,
    AskEngine, // let the request go on until the engine names who started it
};

// "scheme://host:port" with the port spelled out, for http and https only; empty for everything
// else (file, data, about and the like have no origin a service can own).
QString OriginOf(const QUrl &url);

// The origins commands may come from: the web root's and those of `extra` (a build setting,
// addresses separated by blanks, commas or semicolons). Unusable entries are left out.
QStringList TrustedOrigins(const QString &webRoot, const QString &extra);

// Whether a navigation to a command URL comes from the service, so its command may run. A load
// the shell starts itself counts as the service's when the address it loaded (or the opener it
// loads for) has a trusted origin; a history step or reload is the browser replaying an entry,
// not the service asking, and is refused; anything else waits for the engine's initiator.
CommandVerdict JudgeCommand(const NavigationRequest &request, const QStringList &trustedOrigins);
bool MayCommand(const NavigationRequest &request, const QStringList &trustedOrigins);

// True for the addresses commands and the settings file may put into a window: http and https
// with a host, and "about:blank" only where `allowBlank` says the shell itself uses it.
bool IsLoadableAddress(const QString &address, bool allowBlank = false);
