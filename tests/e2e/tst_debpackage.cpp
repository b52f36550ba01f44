#include "InstalledClient.h"
#include "PortalProcess.h"
#include "TestFiles.h"
#include "WindowTitles.h"
#include "XWindows.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <unistd.h>

// The Debian package as an administrator uses it: built with cpack, installed and removed with
// apt-get. Changes the system, so it runs only as root and never over an install already there.
class DebPackageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buildsAndInstalls();
    void installedClientStartsAndLogsIn();
    void removesItsFiles();
    void cleanupTestCase();

private:
    static bool run(const QString &program, const QStringList &arguments, const QString &folder,
                    QString *output, int ms = 300000);
    bool remove(QString *output);

    QTemporaryDir m_folder;
    bool m_installed = false;
};

static const QStringList kInstalledFiles = {
    QStringLiteral("/usr/bin/clikw730"),
    QStringLiteral("/usr/bin/zunup"),
    QStringLiteral("/usr/bin/sorvane"),
    QStringLiteral("/usr/share/applications/sorvane.desktop"),
    QStringLiteral("/usr/share/icons/hicolor/64x64/apps/sorvane.png"),
    QStringLiteral("/usr/share/icons/hicolor/scalable/apps/sorvane.svg"),
    QStringLiteral("/usr/share/metainfo/invalid.sorvane.terminal.metainfo.xml"),
    QStringLiteral("/usr/share/doc/sorvane/copyright")};

bool DebPackageTest::run(const QString &program, const QStringList &arguments, const QString &folder,
                         QString *output, int ms)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(ms);
    *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void DebPackageTest::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("installing a package needs root");
    // The tools the project's install script provides: missing ones are a broken machine.
    for (const char *tool : {"apt-get", "dpkg-deb", "lintian", "desktop-file-validate", "appstreamcli"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), tool);
    QString output;
    if (run(QStringLiteral("dpkg-query"), {"-W", "-f=${Status}", "sorvane"}, QStringLiteral("/"), &output) &&
        output.contains(QLatin1String("installed")) && !output.contains(QLatin1String("not-installed")))
        QSKIP("sorvane is installed on this machine already; not touching it");
    for (const QString &file : kInstalledFiles) {
        if (QFileInfo::exists(file))
            QSKIP("a sorvane file is in /usr already; not touching it");
    }
}

bool DebPackageTest::remove(QString *output)
{
    m_installed = false;
    return run(QStringLiteral("apt-get"), {"remove", "-y", "sorvane"}, QStringLiteral("/"), output);
}

void DebPackageTest::buildsAndInstalls()
{
    QString output;
    QVERIFY2(run(QStringLiteral(SORVANE_CPACK),
                 {"--config", QStringLiteral(SORVANE_BUILD_DIR "/CPackConfig.cmake"), "-B", m_folder.path()},
                 m_folder.path(), &output),
             qPrintable(output));
    const QStringList built =
        QDir(m_folder.path()).entryList({QStringLiteral("sorvane_" SORVANE_PACKAGE_VERSION "_*.deb")});
    QVERIFY2(built.size() == 1, qPrintable(output));
    const QString deb = m_folder.filePath(built.first());
    QVERIFY2(QFileInfo::exists(deb), qPrintable(output));

    // The programs' library needs became package dependencies, Qt WebEngine among them.
    QVERIFY(run(QStringLiteral("dpkg-deb"), {"-f", deb, "Depends"}, m_folder.path(), &output));
    QVERIFY2(output.contains(QLatin1String("libqt6webenginewidgets6")), qPrintable(output));
    // What is loaded at run time is named by hand: libsecret (by the keyring library), Qt's own
    // Chinese texts for the message boxes' buttons, the platform plugins.
    for (const char *need : {"libsecret-1-0", "qt6-translations-l10n", "qt6-qpa-plugins"})
        QVERIFY2(output.contains(QLatin1String(need)), qPrintable(output));
    // Debian's own package checks find no error.
    QVERIFY2(run(QStringLiteral("lintian"), {"--fail-on", "error", deb}, m_folder.path(), &output),
             qPrintable(output));

    m_installed = true;
    QVERIFY2(run(QStringLiteral("apt-get"), {"install", "-y", "./" + QFileInfo(deb).fileName()},
                 m_folder.path(), &output),
             qPrintable(output));
    for (const QString &file : kInstalledFiles)
        QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    QVERIFY(QFileInfo(QStringLiteral("/usr/bin/sorvane")).isExecutable());

    // The menu entry and the catalogue entry as desktops and software centres read them.
    QVERIFY2(run(QStringLiteral("desktop-file-validate"), {"/usr/share/applications/sorvane.desktop"},
                 m_folder.path(), &output),
             qPrintable(output));
    QVERIFY2(run(QStringLiteral("appstreamcli"),
                 {"validate", "--no-net", "/usr/share/metainfo/invalid.sorvane.terminal.metainfo.xml"},
                 m_folder.path(), &output),
             qPrintable(output));
    // A message box made with the texts the client loads reads "确定"/"取消", as on a Chinese system.
    QTranslator texts;
    QVERIFY(texts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&texts);
    QMessageBox box(QMessageBox::Question, QStringLiteral("提示信息"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    const QString ok = box.button(QMessageBox::Ok)->text();
    const QString cancel = box.button(QMessageBox::Cancel)->text();
    QCoreApplication::removeTranslator(&texts);
    QCOMPARE(ok, QStringLiteral("确定"));
    QCOMPARE(cancel, QStringLiteral("取消"));
}

void DebPackageTest::installedClientStartsAndLogsIn()
{
    QVERIFY(m_installed);
    QTemporaryDir data;
    PortalProcess portal;
    QVERIFY2(portal.start({"--user", "deb:pw-deb:包终端"}), qPrintable(portal.errorString()));

    // Started as the menu entry starts it, in an empty folder: the settings file appears and the
    // login window shows.
    QProcess client;
    InstalledClient::start(client, QStringLiteral("/usr"), data.path(), portal.baseUrl().mid(7));
    QVERIFY(client.waitForStarted());
    const QString login = xwindows::waitFor(titles::kLogin, 30000);
    QVERIFY2(!login.isEmpty(), "the installed client shows no login window");
    const QString settings = data.filePath(QStringLiteral("sorvane/mainkw.ini"));
    QVERIFY2(QFileInfo::exists(settings), "no settings file in the user's folder");

    // Pointed at the service, the next start logs in and shows the main window with its pages.
    QVERIFY(xwindows::sendKey(login, QStringLiteral("alt+F4")));
    QVERIFY2(xwindows::waitGone(titles::kLogin), "the login window stayed after alt+F4");
    QVERIFY2(client.waitForFinished(30000), "the client did not end after its login window closed");
    QCOMPARE(client.exitCode(), 0);
    QVERIFY(WriteLinkSettings(settings, {{"webroot", portal.baseUrl()},
                                         {"savepass", "1"},
                                         {"aotologin", "1"},
                                         {"userid", "deb"},
                                         {"userpass", "pw-deb"},
                                         {"userrole", ""}}));
    InstalledClient::start(client, QStringLiteral("/usr"), data.path(), portal.baseUrl().mid(7));
    QVERIFY(client.waitForStarted());
    const QString main = xwindows::waitFor(QStringLiteral("^包终端$"), 60000);
    QVERIFY2(!main.isEmpty(), "the installed client did not reach the main window");
    QTRY_VERIFY_WITH_TIMEOUT(portal.requestLog().join('\n').contains("/clilogin/index03.jsp"), 30000);
    client.terminate();
    QVERIFY(client.waitForFinished(15000));
}

void DebPackageTest::removesItsFiles()
{
    QVERIFY(m_installed);
    QString output;
    QVERIFY2(remove(&output), qPrintable(output));
    for (const QString &file : kInstalledFiles)
        QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
}

void DebPackageTest::cleanupTestCase()
{
    // A failed step in between must not leave the package on the machine.
    QString output;
    if (m_installed)
        QVERIFY2(remove(&output), qPrintable("could not remove the package: " + output));
}

QTEST_MAIN(DebPackageTest)
#include "tst_debpackage.moc"
