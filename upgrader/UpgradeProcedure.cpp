#include "UpgradeProcedure.h"

#include "ProgramReplace.h"
#include "Prompt.h"
#include "StopProcess.h"
#include "buildconfig.h"
#include "platform/programstart.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

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

    const DownloadOutcome outcome =
        m_downloader.download(QUrl(DownloadUrl(m_setup.downloadBase)), paths.tempPath, m_setup.limits);
    result.downloaded = IsSuccessfulDownload(outcome);
    if (!result.downloaded) {
        if (!outcome.cancelled)
            ShowPrompt(UpgradeTexts::downloadFailed(host));
        m_view.closeWindow();
        m_view.setFirstLine(QString(), false);
        return result;
    }

    m_view.setFirstLine(UpgradeTexts::downloadDone(), true);
    m_view.setSecondLine(QString(), false);
    m_view.setProgressLine(QString(), false);
    m_view.processPendingEvents();

    result.stopped = StopProcessByName(paths.clientFileName);
    wait(m_setup.waitAfterStopMs);
    wait(m_setup.furtherWaitMs);

    result.replaced = ReplaceProgram(paths.tempPath, paths.clientPath);
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
