#pragma once

#include "FileDownloader.h"
#include "UpgradeRules.h"

#include <QObject>
#include <QStringList>

// What the procedure needs of its window.
class UpgradeView
{
public:
    virtual ~UpgradeView() = default;
    virtual void setFirstLine(const QString &text, bool visible) = 0;  // ProDownMess
    virtual void setSecondLine(const QString &text, bool visible) = 0; // ProDownMess2
    virtual void setProgressLine(const QString &text, bool visible) = 0;
    virtual void processPendingEvents() = 0;
    virtual void closeWindow() = 0;
};

// What the build says: the key releases are signed with, the largest program it takes.
QByteArray BuiltInUpdateKey();
DownloadLimits BuiltInDownloadLimits();

struct UpgradeSetup
{
    QStringList arguments; // the command line without the program name
    QString ownPath;
    QString downloadBase; // scheme, host, port: where the new program is fetched
    int waitAfterStopMs = 2000;
    int furtherWaitMs = 1000;
    int waitAfterCopyMs = 1000;
    DownloadLimits limits = BuiltInDownloadLimits();
    QByteArray updateKey = BuiltInUpdateKey(); // minisign public key
};

// What one run did, for whoever wants to know.
struct UpgradeResult
{
    UpgradePaths paths;
    bool downloaded = false;
    bool stopped = false;
    bool replaced = false;
    bool restarted = false;
};

// Download the new client, stop the running one, put the new program in its place, start it.
class UpgradeProcedure : public QObject
{
    Q_OBJECT
public:
    UpgradeProcedure(UpgradeSetup setup, UpgradeView &view, QObject *parent = nullptr);

    UpgradeResult run();

    bool isDownloading() const { return m_downloader.isRunning(); }
    // The user gave up while the download was running: the run ends without a prompt.
    void cancelDownload() { m_downloader.cancel(); }

    // The setup the program itself runs with: its real command line, path and download base.
    static UpgradeSetup programSetup();

private:
    void wait(int ms);
    // Downloads the program and its signature, checks both, and only then puts the program at
    // paths.tempPath. False when anything is missing or wrong.
    bool downloadVerified(const UpgradePaths &paths, QByteArray &signature, qint64 &size, bool &cancelled);

    UpgradeSetup m_setup;
    UpgradeView &m_view;
    FileDownloader m_downloader;
};
