#include "UpgradeRules.h"

#include <QUrl>

#include <limits>

namespace {

const QString defaultClientName = QStringLiteral("clikw730");
const QString tempFileName = QStringLiteral("downfile.tmp");
const QString downloadPath = QStringLiteral("/download/clikw730exe");

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

UpgradePaths DetermineUpgradePaths(const QStringList &arguments, const QString &ownPath)
{
    UpgradePaths paths;
    // An empty first argument names nothing; it is taken as no argument.
    const QString first = arguments.value(0);
    if (first.isEmpty()) {
        paths.clientFolder = folderOf(ownPath);
        if (paths.clientFolder.isEmpty())
            paths.clientFolder = QStringLiteral("./");
        paths.clientPath = paths.clientFolder + defaultClientName;
        paths.clientFileName = defaultClientName;
    } else {
        // A bare file name means the current folder; "./" keeps the restart from searching PATH.
        paths.clientPath = first.contains(QLatin1Char('/')) ? first : QStringLiteral("./") + first;
        // "." and ".." name a folder, not a program in it: nothing outside that folder is replaced.
        const QString last = paths.clientPath.section(QLatin1Char('/'), -1);
        if (last == QLatin1String(".") || last == QLatin1String(".."))
            paths.clientPath += QLatin1Char('/');
        paths.clientFolder = folderOf(paths.clientPath);
        paths.clientFileName = paths.clientPath.mid(paths.clientFolder.size());
    }
    paths.tempPath = paths.clientFolder + tempFileName;
    return paths;
}

QString ChooseDownloadBase(const QString &environmentValue, const QString &builtIn)
{
    const QString trimmed = environmentValue.trimmed();
    return trimmed.isEmpty() ? builtIn : trimmed;
}

QString DownloadUrl(const QString &base)
{
    QUrl url(base.trimmed(), QUrl::StrictMode);
    // Anything else would let the network layer read local files or speak other protocols.
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty() || url.hasQuery() || url.hasFragment())
        return {};
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + downloadPath, QUrl::TolerantMode);
    return url.toString(QUrl::FullyEncoded);
}

QString DownloadHost(const QString &base)
{
    QUrl url(base.trimmed(), QUrl::StrictMode);
    if (url.host().isEmpty())
        return base.trimmed();
    // Credentials in the base are no one's business in a prompt.
    url.setUserInfo(QString());
    return url.authority();
}

QString SignatureUrl(const QString &downloadUrl)
{
    return downloadUrl + QStringLiteral(".minisig");
}

bool LooksLikeProgram(const QByteArray &head)
{
    return head.startsWith(QByteArrayLiteral("\x7f"
                                             "ELF"));
}

bool IsSuccessfulDownload(const DownloadOutcome &outcome)
{
    if (!outcome.transferOk || outcome.cancelled || outcome.tooLarge || !outcome.fileOk)
        return false;
    if (outcome.httpStatus < 200 || outcome.httpStatus > 299)
        return false;
    if (outcome.received <= 0)
        return false;
    if (outcome.contentLength >= 0 && outcome.contentLength != outcome.received)
        return false;
    return LooksLikeProgram(outcome.head);
}

DownloadPace::DownloadPace(int ticksPerWindow, qint64 minBytes)
    : m_received{0}
    , m_ticksPerWindow(qMax(1, ticksPerWindow))
    , m_minBytes(minBytes)
{}

bool DownloadPace::stalled(qint64 receivedSoFar)
{
    m_received.append(receivedSoFar);
    if (m_received.size() > m_ticksPerWindow + 1)
        m_received.removeFirst();
    return m_received.size() == m_ticksPerWindow + 1 && receivedSoFar - m_received.first() < m_minBytes;
}

qint64 LastMatchingPid(const QVector<platform::ProcessEntry> &processes, const QString &name)
{
    qint64 pid = -1;
    for (const platform::ProcessEntry &entry : processes) {
        if (entry.exeName.compare(name, Qt::CaseSensitive) == 0)
            pid = entry.pid;
    }
    return pid;
}

namespace UpgradeTexts {

QString downloading()
{
    return QStringLiteral("正在下载，请稍候，如果长时间没反应");
}
QString visitHost(const QString &host)
{
    return QStringLiteral("请到") + host + QStringLiteral("下载安装");
}
QString downloadFailed(const QString &host)
{
    return QStringLiteral("下载失败，请直接到") + host + QStringLiteral("进行下载安装! ");
}
QString downloadDone()
{
    return QStringLiteral("下载完成，正在关闭程序");
}
// Always names the default program, whatever file the run replaces.
QString copyFailed()
{
    return QStringLiteral("更新失败,请拷贝文件downfile.tmp到clikw730");
}
QString restarting()
{
    return QStringLiteral("正在启动更新后的程序");
}
QString updatedRestarting()
{
    return QStringLiteral("程序更新成功,即将重新运行");
}
QString updatedStartYourself()
{
    return QStringLiteral("程序更新成功,请重新运行系统");
}

QString progress(qint64 received, qint64 total)
{
    const auto mib = [](qint64 bytes) { return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1); };
    QString text = QStringLiteral("已下载 %1 MB").arg(mib(received));
    if (total > 0) {
        // received * 100 would overflow for the sizes a server may claim; such sizes divide first.
        qint64 percent = 100;
        if (received <= 0)
            percent = 0;
        else if (received < total)
            percent = received < std::numeric_limits<qint64>::max() / 100 ? received * 100 / total
                                                                          : received / (total / 100);
        text += QStringLiteral(" / %1 MB (%2%)").arg(mib(total)).arg(percent);
    }
    return text;
}

} // namespace UpgradeTexts
