// Download throughput and memory of the upgrader against the portal on loopback.
//   upgrader_download_bench [MiB=100] [rounds=3]
// 1. The downloader in this process: time per round and peak memory before and after.
// 2. The real zunup program (offscreen): peak memory with a tiny and with a large download,
//    sampled once it has copied the program, when it waits at its final prompt.
#include "FileDownloader.h"
#include "PortalProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

qint64 statusKiB(const QString &statusFile, const char *field)
{
    QFile status(statusFile);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

bool writeProgramLike(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (qint64 written = 0; written < bytes; written += block.size()) {
        generator.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        if (written == 0)
            block.replace(0, 4,
                          "\x7f"
                          "ELF");
        if (file.write(block.constData(), qMin<qint64>(block.size(), bytes - written)) < 0)
            return false;
    }
    return true;
}

// Runs zunup offscreen until it has put the program in place; returns its peak memory in KiB.
qint64 zunupPeakKiB(const QString &base, const QString &folder, qint64 expectedBytes, qint64 *elapsedMs)
{
    // Not "clikw730": the bench runs beside other work and must stop nobody's client.
    const QString client = QDir(folder).filePath(QStringLiteral("bench-client"));
    QFile::remove(client);
    QProcess zunup;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SORVANE_DOWNLOAD_BASE"), base);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    zunup.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    zunup.start(QStringLiteral(ZUNUP_BIN), {client});
    if (!zunup.waitForStarted())
        return -1;
    const QString status = QStringLiteral("/proc/%1/status").arg(zunup.processId());
    qint64 peak = -1;
    while (zunup.state() == QProcess::Running && clock.elapsed() < 20 * 60 * 1000) {
        peak = qMax(peak, statusKiB(status, "VmHWM:"));
        if (QFileInfo(client).size() == expectedBytes)
            break; // copied: it now shows its prompt
        zunup.waitForFinished(50);
    }
    *elapsedMs = clock.elapsed();
    peak = qMax(peak, statusKiB(status, "VmHWM:"));
    zunup.kill();
    zunup.waitForFinished();
    return peak;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qint64 mib = arguments.value(1, QStringLiteral("100")).toLongLong();
    const int rounds = arguments.value(2, QStringLiteral("3")).toInt();
    const qint64 bytes = mib << 20;

    QTemporaryDir dir;
    const QString served = dir.filePath(QStringLiteral("served.bin"));
    const QString tiny = dir.filePath(QStringLiteral("tiny.bin"));
    if (!writeProgramLike(served, bytes) || !writeProgramLike(tiny, 16 << 10)) {
        std::fprintf(stderr, "cannot write the files to serve\n");
        return 1;
    }
    PortalProcess portal;
    if (!portal.start({QStringLiteral("--download"), served})) {
        std::fprintf(stderr, "portal: %s\n", qPrintable(portal.errorString()));
        return 1;
    }
    const QString host = QUrl(portal.baseUrl()).authority();

    std::printf("file %lld MiB, %d rounds, portal %s\n", mib, rounds, qPrintable(host));
    const qint64 hwmBefore = statusKiB(QStringLiteral("/proc/self/status"), "VmHWM:");
    FileDownloader downloader;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        const DownloadOutcome outcome = downloader.download(QUrl(DownloadUrl(portal.baseUrl())),
                                                            dir.filePath(QStringLiteral("downfile.tmp")), {});
        const double seconds = clock.nsecsElapsed() / 1e9;
        std::printf("in-process round %d: %s, %.3f s, %.0f MiB/s\n", round + 1,
                    IsSuccessfulDownload(outcome) ? "ok" : "FAILED", seconds, double(mib) / seconds);
    }
    const qint64 hwmAfter = statusKiB(QStringLiteral("/proc/self/status"), "VmHWM:");
    std::printf("in-process peak memory: %lld KiB before, %lld KiB after (+%lld KiB)\n", hwmBefore, hwmAfter,
                hwmAfter - hwmBefore);

    // zunup with a tiny file first, for its baseline.
    PortalProcess tinyPortal;
    if (!tinyPortal.start({QStringLiteral("--download"), tiny}))
        return 1;
    qint64 tinyMs = 0;
    qint64 largeMs = 0;
    const qint64 tinyPeak = zunupPeakKiB(tinyPortal.baseUrl(), dir.path(), QFileInfo(tiny).size(), &tinyMs);
    const qint64 largePeak = zunupPeakKiB(portal.baseUrl(), dir.path(), bytes, &largeMs);
    std::printf("zunup peak memory: %lld KiB with 16 KiB, %lld KiB with %lld MiB (+%lld KiB); "
                "start to copied %lld ms and %lld ms (3 s of fixed waits in each)\n",
                tinyPeak, largePeak, mib, largePeak - tinyPeak, tinyMs, largeMs);
    return 0;
}
