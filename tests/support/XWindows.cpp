#include "XWindows.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

namespace xwindows {

namespace {

// Asks the X server until ready() holds or `ms` pass. X gives a test no event to wait on from
// outside, so this polls, at a pace that spares the server.
template <typename Ready> bool poll(int ms, Ready ready)
{
    const QDeadlineTimer deadline(ms);
    do {
        if (ready())
            return true;
        QThread::msleep(100); // the X server's pace: nothing to wait on, see above
    } while (!deadline.hasExpired());
    return false;
}

QString run(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    process.start(QStringLiteral("xdotool"), arguments);
    const QDeadlineTimer deadline(10000);
    if (process.waitForStarted(5000))
        loop.exec();
    // An application on its way out gets no event loop any more: then wait without one.
    if (process.state() != QProcess::NotRunning)
        process.waitForFinished(int(deadline.remainingTime()));
    return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool typeText(const QString &text)
{
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

bool pressKey(const QString &name)
{
    return xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), name});
}

bool clickAt(const QPoint &global, int button)
{
    return xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())}) &&
           xdotool({QStringLiteral("click"), QString::number(button)});
}

QStringList visible(const QString &title)
{
    return run({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString waitFor(const QString &title, int ms)
{
    QString id;
    poll(ms, [&] {
        const QStringList ids = visible(title);
        id = ids.value(0);
        return !ids.isEmpty();
    });
    return id;
}

QStringList visibleOf(const QString &program)
{
    return run({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--classname"),
                QLatin1Char('^') + QRegularExpression::escape(program) + QLatin1Char('$')})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString waitForNewOf(const QString &program, const QStringList &known, int ms)
{
    QString id;
    poll(ms, [&] {
        for (const QString &candidate : visibleOf(program)) {
            if (!known.contains(candidate)) {
                id = candidate;
                return true;
            }
        }
        return false;
    });
    return id;
}

bool waitGone(const QString &title, int ms)
{
    return poll(ms, [&] { return visible(title).isEmpty(); });
}

QRect geometry(const QString &id)
{
    // "Position: 10,20 (screen: 0)" / "Geometry: 300x200"
    const QString text = run({QStringLiteral("getwindowgeometry"), id});
    const QRegularExpression position(QStringLiteral("Position: (-?\\d+),(-?\\d+)"));
    const QRegularExpression size(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
    const auto p = position.match(text);
    const auto s = size.match(text);
    if (!p.hasMatch() || !s.hasMatch())
        return {};
    return QRect(p.captured(1).toInt(), p.captured(2).toInt(), s.captured(1).toInt(), s.captured(2).toInt());
}

QList<QRect> everyWindowNamed(const QString &name)
{
    QProcess process;
    // Names come out as UTF-8 only in a UTF-8 locale; otherwise as octal escapes.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    process.waitForFinished(10000);
    // '     0x40000a "Name": ("res" "class")  22x22+0+0  +1257+1001'
    const QRegularExpression line(
        QStringLiteral("^\\s*0x[0-9a-f]+ \"%1\":.*\\s(\\d+)x(\\d+)[+-]-?\\d+[+-]-?\\d+"
                       "\\s+\\+(-?\\d+)\\+(-?\\d+)\\s*$")
            .arg(QRegularExpression::escape(name)));
    QList<QRect> found;
    for (const QString &text : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const auto match = line.match(text);
        if (match.hasMatch())
            found << QRect(match.captured(3).toInt(), match.captured(4).toInt(), match.captured(1).toInt(),
                           match.captured(2).toInt());
    }
    return found;
}

QString property(const QString &id, const QString &name)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    const QStringList where = id == QLatin1String("root") ? QStringList{QStringLiteral("-root")}
                                                          : QStringList{QStringLiteral("-id"), id};
    process.start(QStringLiteral("xprop"), where + QStringList{name});
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool isIconic(const QString &id)
{
    return property(id, QStringLiteral("WM_STATE")).contains(QLatin1String("window state: Iconic"));
}

bool hasTaskBarEntry(const QString &id)
{
    // The types come in order of preference; the first standard one counts.
    const auto type = QRegularExpression(QStringLiteral("[=,] (_NET_WM_WINDOW_TYPE_[A-Z_]+)"))
                          .match(property(id, QStringLiteral("_NET_WM_WINDOW_TYPE")));
    const bool listedType = !type.hasMatch() ||
                            type.captured(1) == QLatin1String("_NET_WM_WINDOW_TYPE_NORMAL") ||
                            type.captured(1) == QLatin1String("_NET_WM_WINDOW_TYPE_DIALOG");
    return listedType && !property(id, QStringLiteral("_NET_WM_STATE"))
                              .contains(QLatin1String("_NET_WM_STATE_SKIP_TASKBAR"));
}

QRect workArea()
{
    // "_NET_WORKAREA(CARDINAL) = 0, 0, 1280, 1000, ..." (one rectangle per desktop)
    const QRegularExpression first(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"));
    auto match = first.match(property(QStringLiteral("root"), QStringLiteral("_NET_WORKAREA")));
    if (match.hasMatch())
        return QRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
                     match.captured(4).toInt());
    const QRegularExpression size(QStringLiteral("Width: (\\d+)[\\s\\S]*Height: (\\d+)"));
    QProcess info;
    info.start(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
    info.waitForFinished(10000);
    match = size.match(QString::fromUtf8(info.readAllStandardOutput()));
    return match.hasMatch() ? QRect(0, 0, match.captured(1).toInt(), match.captured(2).toInt()) : QRect();
}

bool requestClose(const QString &id)
{
    // Keys typed with xdotool never reach a Wayland compositor's own shortcuts, so alt+F4 is no way.
    static const char script[] = R"(
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object('window', int(sys.argv[1]))
message = protocol.event.ClientMessage(window=w, client_type=d.intern_atom('_NET_CLOSE_WINDOW'),
                                       data=(32, [0, 2, 0, 0, 0]))
d.screen().root.send_event(message, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
d.sync()
)";
    QProcess process;
    // The system's Python, which has the Debian X library.
    process.start(QStringLiteral("/usr/bin/python3"),
                  {QStringLiteral("-c"), QString::fromLatin1(script), id});
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

bool activate(const QString &id, int ms)
{
    // "windowactivate --sync" can wait forever for a window the window manager does not focus;
    // asking again until it is the active one also covers a request made before it was managed.
    return poll(ms, [&] {
        run({QStringLiteral("windowactivate"), id});
        return run({QStringLiteral("getactivewindow")}).trimmed() == id;
    });
}

bool sendKey(const QString &id, const QString &key)
{
    if (!activate(id))
        return false;
    QProcess process;
    // Typed at the focused window, as a user would: the window manager sees its own shortcuts too.
    process.start(QStringLiteral("xdotool"),
                  {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key});
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

} // namespace xwindows
