#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The Debian package as an administrator uses it: built with cpack, installed and removed with
// apt-get. Changes the system, so it runs only as root and never over an install already there.
class DebPackageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsAndRemovesItsFiles();

private:
    static bool run(const QString &program, const QStringList &arguments, const QString &folder,
                    QString *output, int ms = 300000);
};

static const QStringList kInstalledFiles = {
    QStringLiteral("/usr/bin/clikw730"), QStringLiteral("/usr/bin/zunup"), QStringLiteral("/usr/bin/sorvane"),
    QStringLiteral("/usr/share/applications/sorvane.desktop"),
    QStringLiteral("/usr/share/icons/hicolor/64x64/apps/sorvane.png")};

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
    if (QStandardPaths::findExecutable(QStringLiteral("apt-get")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
        QSKIP("no apt-get/dpkg-deb here");
    QString output;
    if (run(QStringLiteral("dpkg-query"), {"-W", "-f=${Status}", "sorvane"}, QStringLiteral("/"), &output) &&
        output.contains(QLatin1String("installed")) && !output.contains(QLatin1String("not-installed")))
        QSKIP("sorvane is installed on this machine already; not touching it");
    for (const QString &file : kInstalledFiles) {
        if (QFileInfo::exists(file))
            QSKIP("a sorvane file is in /usr already; not touching it");
    }
}

void DebPackageTest::installsAndRemovesItsFiles()
{
    QTemporaryDir folder;
    QString output;
    QVERIFY2(run(QStringLiteral(SORVANE_CPACK),
                 {"--config", QStringLiteral(SORVANE_BUILD_DIR "/CPackConfig.cmake"), "-B", folder.path()},
                 folder.path(), &output),
             qPrintable(output));
    const QStringList built =
        QDir(folder.path()).entryList({QStringLiteral("sorvane_" SORVANE_PACKAGE_VERSION "_*.deb")});
    QVERIFY2(built.size() == 1, qPrintable(output));
    const QString deb = folder.filePath(built.first());
    QVERIFY2(QFileInfo::exists(deb), qPrintable(output));

    // The programs' library needs became package dependencies, Qt WebEngine among them.
    QVERIFY(run(QStringLiteral("dpkg-deb"), {"-f", deb, "Depends"}, folder.path(), &output));
    QVERIFY2(output.contains(QLatin1String("libqt6webenginewidgets6")), qPrintable(output));
    // The keyring library loads libsecret at run time, so no library need names it.
    QVERIFY2(output.contains(QLatin1String("libsecret-1-0")), qPrintable(output));

    QVERIFY2(run(QStringLiteral("apt-get"), {"install", "-y", "./" + QFileInfo(deb).fileName()},
                 folder.path(), &output),
             qPrintable(output));
    for (const QString &file : kInstalledFiles)
        QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    QVERIFY(QFileInfo(QStringLiteral("/usr/bin/sorvane")).isExecutable());

    QVERIFY2(run(QStringLiteral("apt-get"), {"remove", "-y", "sorvane"}, folder.path(), &output),
             qPrintable(output));
    for (const QString &file : kInstalledFiles)
        QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
}

QTEST_GUILESS_MAIN(DebPackageTest)
#include "tst_debpackage.moc"
