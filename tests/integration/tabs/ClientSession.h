#pragma once

#include "PortalProcess.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include "MessageBoxes.h"

class TCppWebBrowser;

// The whole client against a fresh portal: its own settings file in its own working folder, the
// eight windows of a start, a real login as user demo, and the main window with its three pages.
class ClientSession
{
public:
    ClientSession() = default;
    ~ClientSession();
    ClientSession(const ClientSession &) = delete;
    ClientSession &operator=(const ClientSession &) = delete;

    // False with a reason in error() when the main window did not come up with its pages.
    bool start();
    QString error() const { return m_error; }

    PortalProcess &portal() { return m_portal; }
    QString settingsPath() const;
    QList<MessageBoxRequest> boxes() const { return m_boxes; }

    // Requests the portal saw for `path` (query ignored), and their queries.
    QStringList queriesOf(const QString &path);
    int requestsOf(const QString &path) { return queriesOf(path).size(); }

private:
    PortalProcess m_portal;
    QTemporaryDir m_folder;
    QString m_previousFolder;
    QList<MessageBoxRequest> m_boxes;
    QString m_error;
};

// Clicks the element with that id in the browser's page.
void ClickIn(TCppWebBrowser *browser, const QString &elementId);
// Clicks it with the mouse, as a user does. False when the element is not on the screen.
bool UserClickIn(TCppWebBrowser *browser, const QString &elementId);
// Runs a script and waits (bounded) for its result.
QVariant EvaluateIn(TCppWebBrowser *browser, const QString &script);

// The system's browser is whatever "xdg-open" is on the path: puts a script in tools that notes
// each address it is asked to open, first on the path. Returns the file it writes to, or empty when
// the script could not be made. Call before the engine starts; tools must outlive the test.
QString InstallBrowserStandIn(const QTemporaryDir &tools);
QStringList OpenedAddressesIn(const QString &log);
// The browser's page body text.
QString BodyTextOf(TCppWebBrowser *browser);
// Lets a refused navigation and whatever it started settle, then waits until none of the
// browsers is busy.
bool Settle(const QList<TCppWebBrowser *> &browsers, int quietMs = 300);
