#pragma once

#include "MessageBoxes.h"
#include "PortalProcess.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QWidget;
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

// Waits until the widget has painted itself and what its paint queued has run: whatever a window
// starts on its first paint has started by then.
bool WaitForPaint(QWidget *widget, int ms = 10000);

// Waits until the X server has the window where this program last put it: input aimed at a place
// on the screen lands in the window only from then on.
bool WaitForPlacement(QWidget *window, int ms = 10000);

// What real pointer input (xdotool through the X server) did in this program: the presses and
// releases its windows received, and the pop-ups that opened. Input from outside has no answer of
// its own, so tests wait on these instead.
class PointerWatch : public QObject
{
public:
    PointerWatch();

    int presses(Qt::MouseButton button) const { return m_presses.value(button); }
    int releases(Qt::MouseButton button) const { return m_releases.value(button); }
    int popupsShown() const { return m_popups; }

    // Presses `button` (left or right) at `from`, drags by `by` in steps and releases. The steps start once
    // this program has the press, so a window move the press starts sees all of them. False when xdotool
    // failed or the press never arrived.
    bool drag(const QPoint &from, const QPoint &by, Qt::MouseButton button = Qt::LeftButton);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMap<Qt::MouseButton, int> m_presses;
    QMap<Qt::MouseButton, int> m_releases;
    int m_popups = 0;
};

// One login test case's world: its own working folder, its own portal that the settings file points
// at, and a recorder answering the message boxes. Test classes derive from it and call
// createWindows(), beginCase() and endCase() from initTestCase(), init() and cleanup(); classes that
// keep one session for all their cases call beginCase() once, from initTestCase().
class LoginCaseFixture
{
protected:
    LoginCaseFixture();
    ~LoginCaseFixture();

    static void createWindows();
    // Fails the running test (QVERIFY) when the folder cannot be made.
    void beginCase();
    void endCase();
    // Starts a portal and writes settings that point at it; false, with the test failed, when either
    // cannot be done: the caller returns.
    [[nodiscard]] bool startPortal(const QStringList &arguments, const QString &webRootSuffix = QString(),
                                   const QMap<QString, QString> &settings = {});
    // Settings for the running portal: no user, nothing remembered, then `settings` over that.
    [[nodiscard]] bool writeSettings(const QString &webRootSuffix, const QMap<QString, QString> &settings);
    void typeAndLogIn(const QString &userId, const QString &userPass);

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<PortalProcess> m_portal;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};
