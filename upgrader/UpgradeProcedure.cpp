#include "UpgradeProcedure.h"

#include "ProgramReplace.h"
#include "ProgramVersion.h"
#include "Prompt.h"
#include "StopProcess.h"
#include "UpdateSignature.h"
#include "buildconfig.h"
#include "platform/programstart.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>

namespace {

// A signature file is a few hundred bytes; anything much longer is not one.
constexpr qint64 signatureMaxBytes = 4096;

} // namespace

QByteArray BuiltInUpdateKey()
{
    return QByteArrayLiteral(SORVANE_UPDATE_PUBLIC_KEY);
}

DownloadLimits BuiltInDownloadLimits()
{
    DownloadLimits limits;
    limits.maxBytes = qint64(SORVANE_DOWNLOAD_LIMIT_MIB) * 1024 * 1024;
    return limits;
}

UpgradeProcedure::UpgradeProcedure(UpgradeSetup setup, UpgradeView &view, QObject *parent)
    : QObject(parent)
    , m_setup(std::move(setup))
    , m_view(view)
{
    connect(&m_downloader, &FileDownloader::progress, this, [this](qint64 received, qint64 total) {
        if (received > 0)
            m_view.setProgressLine(UpgradeTexts::progress(received, total), true);
    });
}

UpgradeSetup UpgradeProcedure::programSetup()
{
    UpgradeSetup setup;
    setup.arguments = QCoreApplication::arguments().mid(1);
    setup.ownPath = platform::OwnProgramPath();
    // Tests and developers point the upgrader at their own portal without a rebuild.
    setup.downloadBase = ChooseDownloadBase(qEnvironmentVariable("SORVANE_DOWNLOAD_BASE"),
                                            QStringLiteral(SORVANE_DOWNLOAD_BASE));
    return setup;
}

void UpgradeProcedure::wait(int ms)
{
    // The window keeps repainting meanwhile; the loop may be ended early from outside, so
    // it runs again until the time is really up.
    const QDeadlineTimer deadline(ms);
    QEventLoop loop;
    while (!deadline.hasExpired()) {
        QTimer::singleShot(deadline.remainingTime(), &loop, &QEventLoop::quit);
        loop.exec();
    }
}

bool UpgradeProcedure::downloadVerified(const UpgradePaths &paths, QByteArray &signature, qint64 &size,
                                        bool &cancelled)
{
    // A fresh file of our own: a second upgrader in the same folder never writes into it.
    QTemporaryFile partial(paths.clientFolder + QStringLiteral(".downfile-XXXXXX"));
    if (!partial.open())
        return false;
    const QString programUrl = DownloadUrl(m_setup.downloadBase);
    const DownloadOutcome program = m_downloader.download(QUrl(programUrl), partial, m_setup.limits);
    cancelled = program.cancelled;
    if (!partial.flush() || !IsSuccessfulDownload(program))
        return false;

    QBuffer text(&signature);
    text.open(QIODevice::WriteOnly);
    DownloadLimits signatureLimits = m_setup.limits;
    signatureLimits.maxBytes = signatureMaxBytes;
    const DownloadOutcome published =
        m_downloader.download(QUrl(SignatureUrl(programUrl)), text, signatureLimits);
    cancelled = published.cancelled;
    if (!published.transferOk || !published.fileOk || published.httpStatus < 200 ||
        published.httpStatus > 299)
        return false;

    // What is judged is the file on disk, not the bytes as they streamed past.
    SignedProgramCheck check(m_setup.updateKey, signature);
    if (CheckSignedFile(partial.fileName(), check) != UpdateVerdict::Valid)
        return false;
    // An older or the same release, replayed on the way or served by mistake, is no update; the
    // running client is not even stopped for it.
    if (!IsNewerRelease(check.version(), ProgramFileVersion(paths.clientPath)))
        return false;
    size = check.size();
    partial.close();
    if (::rename(QFile::encodeName(partial.fileName()).constData(),
                 QFile::encodeName(paths.tempPath).constData()) != 0)
        return false;
    partial.setAutoRemove(false);
    return true;
}

UpgradeResult UpgradeProcedure::run()
{
    UpgradeResult result;
    const UpgradePaths paths = DetermineUpgradePaths(m_setup.arguments, m_setup.ownPath);
    result.paths = paths;

    if (!QFileInfo(paths.clientFolder).isDir())
        QDir().mkpath(paths.clientFolder); // a failure shows as a failed download

    m_view.setFirstLine(UpgradeTexts::downloading(), true);
    const QString host = DownloadHost(m_setup.downloadBase);
    m_view.setSecondLine(UpgradeTexts::visitHost(host), true);
    m_view.processPendingEvents();

    QByteArray signature;
    qint64 size = 0;
    bool cancelled = false;
    result.downloaded = downloadVerified(paths, signature, size, cancelled);
    if (!result.downloaded) {
        if (!cancelled)
            ShowPrompt(UpgradeTexts::downloadFailed(host));
        m_view.closeWindow();
        m_view.setFirstLine(QString(), false);
        return result;
    }

    m_view.setFirstLine(UpgradeTexts::downloadDone(), true);
    m_view.setSecondLine(QString(), false);
    m_view.setProgressLine(QString(), false);
    m_view.processPendingEvents();

    // Asked to quit first; ended for good only if it is still there after the wait.
    qint64 stoppedPid = -1;
    result.stopped = StopProcessByName(paths.clientFileName, &stoppedPid);
    wait(m_setup.waitAfterStopMs);
    if (result.stopped)
        KillIfStillRunning(stoppedPid, paths.clientFileName);
    wait(m_setup.furtherWaitMs);

    // Checked again while it is copied: another upgrader may have put its own download there.
    SignedProgramCheck recheck(m_setup.updateKey, signature, size);
    result.replaced = ReplaceProgram(paths.tempPath, paths.clientPath, &recheck);
    if (!result.replaced) {
        ShowPrompt(UpgradeTexts::copyFailed());
        // The old program is still whole: a client we stopped gets it back.
        if (result.stopped)
            result.restarted = platform::StartProgram(paths.clientPath, {});
        m_view.closeWindow();
        m_view.setFirstLine(QString(), false);
        return result;
    }
    wait(m_setup.waitAfterCopyMs);

    if (result.stopped) {
        m_view.setFirstLine(UpgradeTexts::restarting(), true);
        m_view.setSecondLine(QString(), false);
        m_view.processPendingEvents();
        ShowPrompt(UpgradeTexts::updatedRestarting());
        result.restarted = platform::StartProgram(paths.clientPath, {});
    } else {
        ShowPrompt(UpgradeTexts::updatedStartYourself());
    }
    m_view.closeWindow();
    m_view.setFirstLine(QString(), false);
    return result;
}
