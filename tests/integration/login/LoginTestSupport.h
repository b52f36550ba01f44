#pragma once

#include "MessageBoxes.h"

#include <QList>
#include <QMap>
#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class PortalProcess;
class TCppWebBrowser;
class TfrmLogin;

// A scratch working directory for one test: the client's settings file lives there.
class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Writes "mainkw.ini" in the working directory with these "linkinfo" values.
void WriteLoginSettings(const QMap<QString, QString> &linkinfo);
// A "linkinfo" value of the settings file, "<missing>" when the key is absent.
QString StoredSetting(const QString &key);

// Answers every message box instead of the user and keeps what was asked.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    // Answers given in turn; OK once they run out.
    void answerWith(const QList<BoxAnswer> &answers) { m_answers = answers; }
    const QList<MessageBoxRequest> &requests() const { return m_requests; }
    QStringList texts() const;

private:
    QList<MessageBoxRequest> m_requests;
    QList<BoxAnswer> m_answers;
};

// A new login window made from the settings file in the working directory, shown as at start.
TfrmLogin *FreshLoginWindow();

// The page's body text, or empty text.
QString BodyOf(TCppWebBrowser *browser);
// Waits until the browser's body text contains `marker`.
bool WaitForBody(TCppWebBrowser *browser, const QString &marker, int ms = 20000);
// The id of the page's body element ("page-index01"), or empty text.
QString PageId(TCppWebBrowser *browser);
// Waits until the browser shows the page whose body has that id.
bool WaitForPage(TCppWebBrowser *browser, const QString &bodyId, int ms = 20000);
// Runs a script in the page and gives its result as text.
QString ScriptText(TCppWebBrowser *browser, const QString &script);

// How many requests of the portal's log were for `path`.
int RequestsFor(const QStringList &log, const QString &path);

// Real pointer input through the X server, with the event loop running in between.
bool XPointer(const QStringList &xdotoolArguments);
void XMoveTo(const QPoint &global);
void XButtonDown(int button);
void XButtonUp(int button);
void XClick(const QPoint &global, int button);
// Presses the left button at `from`, drags by `by` and releases.
void XDrag(const QPoint &from, const QPoint &by);

// One login test case's world: its own working folder, its own portal that the settings file points
// at, and a recorder answering the message boxes. Test classes derive from it and call
// createWindows(), beginCase() and endCase() from initTestCase(), init() and cleanup().
class LoginCaseFixture
{
protected:
    LoginCaseFixture();
    ~LoginCaseFixture();

    static void createWindows();
    void beginCase();
    void endCase();
    void startPortal(const QStringList &arguments, const QString &webRootSuffix = QString(),
                     const QMap<QString, QString> &settings = {});
    void typeAndLogIn(const QString &userId, const QString &userPass);

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<PortalProcess> m_portal;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};
