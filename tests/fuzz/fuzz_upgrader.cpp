#include "ProgramVersion.h"
#include "UpgradeRules.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

bool isPlainName(const QString &name)
{
    return !name.contains(QLatin1Char('/')) && name != QLatin1String(".") && name != QLatin1String("..");
}

qint64 takeNumber(const uint8_t *&data, size_t &size)
{
    qint64 value = 0;
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

} // namespace

// The upgrader's path rules on any command line: the program replaced and the download both sit
// directly in the client's folder, so a run never writes anywhere else. The download verdict and
// the progress text take any numbers without undefined behaviour; any download base gives a web
// address or none; a version read from any bytes is plain.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const qint64 received = takeNumber(data, size);
    const qint64 total = takeNumber(data, size);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));

    // The first line is the upgrader's own path, the others its arguments.
    QStringList lines = text.split(QLatin1Char('\n'));
    const QString ownPath = lines.takeFirst();
    const UpgradePaths paths = DetermineUpgradePaths(lines, ownPath);
    if (paths.clientFolder.isEmpty() || !paths.clientFolder.endsWith(QLatin1Char('/')))
        __builtin_trap();
    if (!isPlainName(paths.clientFileName) && !paths.clientFileName.isEmpty())
        __builtin_trap();
    if (paths.clientPath != paths.clientFolder + paths.clientFileName)
        __builtin_trap();
    if (paths.tempPath != paths.clientFolder + QStringLiteral("downfile.tmp"))
        __builtin_trap();
    // A named client is the one the command line gave: its file is what gets replaced.
    const QString first = lines.value(0);
    if (!first.isEmpty() && !paths.clientFileName.isEmpty() &&
        paths.clientFileName != first.section(QLatin1Char('/'), -1))
        __builtin_trap();

    DownloadOutcome outcome;
    outcome.transferOk = received & 1;
    outcome.fileOk = received & 2;
    outcome.cancelled = received & 4;
    outcome.httpStatus = int(total % 1000);
    outcome.contentLength = total;
    outcome.received = received;
    outcome.head = text.left(8).toUtf8();
    if (IsSuccessfulDownload(outcome) && (outcome.cancelled || !LooksLikeProgram(outcome.head)))
        __builtin_trap();
    UpgradeTexts::progress(received, total);

    // Any base: either no address at all or a web address of the program, never a local file.
    const QString url = DownloadUrl(ownPath);
    if (!url.isEmpty() &&
        (!(url.startsWith(QLatin1String("http://")) || url.startsWith(QLatin1String("https://"))) ||
         !url.endsWith(QLatin1String("/download/clikw730exe"))))
        __builtin_trap();
    DownloadHost(ownPath);

    // Any bytes as an installed program: a version read from them is short and plain.
    const QString marked = VersionMarkedIn(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    if (marked.size() > 32 || marked.contains(QLatin1Char(':')) || marked.contains(QLatin1Char('\0')))
        __builtin_trap();

    QVector<platform::ProcessEntry> processes;
    for (qsizetype i = 0; i < lines.size(); ++i)
        processes.append({i, lines.at(i)});
    const qint64 pid = LastMatchingPid(processes, paths.clientFileName);
    if (pid >= 0 && processes.at(pid).exeName != paths.clientFileName)
        __builtin_trap();
    return 0;
}
