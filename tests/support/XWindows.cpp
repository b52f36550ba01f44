#include "XWindows.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

namespace xwindows {

namespace {

QString run(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QStringList visible(const QString &title)
{
    return run({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString waitFor(const QString &title, int ms)
{
    const QDeadlineTimer deadline(ms);
    do {
        const QStringList ids = visible(title);
        if (!ids.isEmpty())
            return ids.first();
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return {};
}

bool waitGone(const QString &title, int ms)
{
    const QDeadlineTimer deadline(ms);
    do {
        if (visible(title).isEmpty())
            return true;
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
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

bool activate(const QString &id, int ms)
{
    // "windowactivate --sync" can wait forever for a window the window manager does not focus;
    // asking again until it is the active one also covers a request made before it was managed.
    const QDeadlineTimer deadline(ms);
    do {
        run({QStringLiteral("windowactivate"), id});
        if (run({QStringLiteral("getactivewindow")}).trimmed() == id)
            return true;
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
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
