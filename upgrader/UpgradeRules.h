#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include "platform/processes.h"

// The upgrader's decisions: plain values in, plain values out.

// Where one run works.
struct UpgradePaths
{
    QString clientPath;     // the program file to replace and restart
    QString clientFolder;   // up to and including the last "/"; never empty
    QString clientFileName; // the process name to stop
    QString tempPath;       // where the download goes
};

// arguments: the command line without the program name; ownPath: this program's file.
UpgradePaths DetermineUpgradePaths(const QStringList &arguments, const QString &ownPath);

// Where the new client comes from: a base URL (scheme, host, port, optional path); the
// environment's value when set, else the built-in one.
QString ChooseDownloadBase(const QString &environmentValue, const QString &builtIn);
// The program's address under base; empty when base is no http or https address with a host.
QString DownloadUrl(const QString &base);
// What the texts name as the place to go: host[:port] of base, or base as given when it has no host.
QString DownloadHost(const QString &base);
// The detached signature published beside a download.
QString SignatureUrl(const QString &downloadUrl);

// What a finished transfer left; filled by the downloader.
struct DownloadOutcome
{
    bool transferOk = false;   // no network error, no time-out, not cancelled
    bool cancelled = false;    // the user ended the run while it was going
    bool tooLarge = false;     // longer than the run allows
    bool fileOk = false;       // every byte reached the file and it was closed cleanly
    int httpStatus = 0;        // of the final answer, after redirects
    qint64 contentLength = -1; // -1 when the answer sent none
    qint64 received = 0;
    QByteArray head; // the first bytes of the body
};

bool IsSuccessfulDownload(const DownloadOutcome &outcome);

// Whether a download still moves: told the bytes received so far at each of ticksPerWindow equal
// steps of a window, it calls the download stalled when the window that ends at a tick brought
// fewer than minBytes. A server that sends nothing and one that trickles to hold the line open
// are caught alike; the first window is judged once it is whole.
class DownloadPace
{
public:
    DownloadPace(int ticksPerWindow, qint64 minBytes);
    bool stalled(qint64 receivedSoFar);

private:
    QVector<qint64> m_received; // at the start and at each tick, oldest first
    int m_ticksPerWindow;
    qint64 m_minBytes;
};

// True when the data starts like a program of this platform.
bool LooksLikeProgram(const QByteArray &head);

// The process to stop: the last one listed whose name equals name exactly; -1 when none.
qint64 LastMatchingPid(const QVector<platform::ProcessEntry> &processes, const QString &name);

// Texts of the run.
namespace UpgradeTexts {
QString downloading();
QString visitHost(const QString &host);
QString downloadFailed(const QString &host);
QString downloadDone();
QString copyFailed();
QString restarting();
QString updatedRestarting();
QString updatedStartYourself();
QString progress(qint64 received, qint64 total);
} // namespace UpgradeTexts
