#pragma once

#include "PortalProcess.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "MessageBoxes.h"

class QSignalSpy;
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
    // Back to the state right after start(), without a new login: the main window shown on its three
    // start pages, the pop-ups, tabbed and video windows closed, the settings file as it was written,
    // boxes recorded (and answered) by the session again, none so far, and the request log counted
    // from here on. False with a reason in error().
    bool reset();
    QString error() const { return m_error; }

    PortalProcess &portal() { return m_portal; }
    QString settingsPath() const;
    QList<MessageBoxRequest> boxes() const { return m_boxes; }

    // Requests the portal saw for `path` (query ignored) since start() or reset(), and their queries.
    QStringList queriesOf(const QString &path);
    int requestsOf(const QString &path) { return int(queriesOf(path).size()); }

private:
    bool writeSettings();
    void recordBoxes();
    bool fail(const QString &why);

    PortalProcess m_portal;
    QTemporaryDir m_folder;
    QString m_previousFolder;
    QStringList m_startPages;
    int m_logMark = 0;
    QList<MessageBoxRequest> m_boxes;
    QString m_error;
};

// Counts the loads each browser ends from its making on. A navigation refused by a command handler
// ends as a failed load too (engine 6.4 reports it so), which is how a test sees a command handled.
class LoadEnds
{
public:
    explicit LoadEnds(const QList<TCppWebBrowser *> &browsers);
    ~LoadEnds();
    // Waits until `browser` has ended at least `count` loads and none of the browsers is busy.
    bool wait(TCppWebBrowser *browser, int count = 1, int ms = 20000) const;

private:
    QList<TCppWebBrowser *> m_browsers;
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

// Waits until none of the browsers is busy.
bool Idle(const QList<TCppWebBrowser *> &browsers, int ms = 20000);

// Clicks it with the mouse, as a user does. False when the element is not on the screen.
bool UserClickIn(TCppWebBrowser *browser, const QString &elementId);

// The system's browser is whatever "xdg-open" is on the path: puts a script in tools that notes
// each address it is asked to open, first on the path. Returns the file it writes to, or empty when
// the script could not be made. Call before the engine starts; tools must outlive the test.
QString InstallBrowserStandIn(const QTemporaryDir &tools);
QStringList OpenedAddressesIn(const QString &log);
