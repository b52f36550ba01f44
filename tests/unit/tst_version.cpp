#include "Upgrader.h"
#include "VersionCheck.h"

#include "platform/programstart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The version check and the hand-off to the upgrader.
class VersionTest : public QObject
{
    Q_OBJECT

private slots:
    void comparison_data();
    void comparison();
    void decisions_data();
    void decisions();
    void fieldsNotOnThePageKeepTheirValues();
    void upgraderGetsThePathAsOneArgument();
    void upgraderStartsFromTheWorkingDirectory();
    void missingUpgraderIsNoError();
};

void VersionTest::comparison_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("later patch") << "3.0.10"
                                 << "3.0.05" << 1;
    QTest::newRow("shorter digit is larger") << "3.0.5"
                                             << "3.0.05" << 1;
    QTest::newRow("text, not numbers") << "10.0.0"
                                       << "3.0.05" << -1;
    QTest::newRow("equal") << "3.0.05"
                           << "3.0.05" << 0;
    QTest::newRow("prefix is smaller") << "3.0"
                                       << "3.0.05" << -1;
    QTest::newRow("letters after digits") << "a"
                                          << "3.0.05" << 1;
}

void VersionTest::comparison()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int result = CompareVersionText(a, b);
    QCOMPARE((result > 0) - (result < 0), sign);
}

void VersionTest::decisions_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("accepts");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("notice");
    QTest::addColumn<bool>("upgrade");
    QTest::addColumn<bool>("enters");
    QTest::newRow("same version") << "3.0.05;3.0.01" << false << false << false << false << true;
    QTest::newRow("older newest is still offered")
        << "3.0.04;3.0.01" << false << true << false << false << true;
    QTest::newRow("offer accepted") << "3.0.06;3.0.01" << true << true << false << true << false;
    QTest::newRow("refused, minimum above ours") << "3.0.06;3.0.06" << false << true << true << true << false;
    QTest::newRow("refused, maximum below ours")
        << "3.0.06;3.0.01;3.0.04" << false << true << true << true << false;
    QTest::newRow("refused, still accepted")
        << "3.0.06;3.0.01;3.0.09" << false << true << false << false << true;
    QTest::newRow("accepted while expired: no notice")
        << "3.0.06;3.0.06" << true << true << false << true << false;
    // Minimum and maximum are only looked at after an offer.
    QTest::newRow("same version, minimum above")
        << "3.0.05;3.0.09;3.0.01" << false << false << false << false << true;
    QTest::newRow("unreadable page") << "" << false << false << false << false << true;
    QTest::newRow("one field is no field") << "3.0.06" << false << false << false << false << true;
    QTest::newRow("blank separates") << "3.0.06 3.0.06" << false << true << true << true << false;
}

void VersionTest::decisions()
{
    QFETCH(QString, page);
    QFETCH(bool, accepts);
    QFETCH(bool, asks);
    QFETCH(bool, notice);
    QFETCH(bool, upgrade);
    QFETCH(bool, enters);
    const VersionDecision decision =
        DecideVersionCheck(page, VersionFields{}, QStringLiteral("3.0.05"), accepts);
    QCOMPARE(decision.askUpgrade, asks);
    QCOMPARE(decision.showExpiredNotice, notice);
    QCOMPARE(decision.startUpgrader, upgrade);
    QCOMPARE(decision.enterMainWindow, enters);
    QVERIFY(decision.startUpgrader != decision.enterMainWindow);
}

void VersionTest::fieldsNotOnThePageKeepTheirValues()
{
    const VersionFields before{QStringLiteral("3.0.07"), QStringLiteral("3.0.01"), QStringLiteral("3.0.09")};
    const VersionFields two = TakeVersionFields(QStringLiteral("3.0.06;3.0.02"), before);
    QCOMPARE(two.latest, QStringLiteral("3.0.06"));
    QCOMPARE(two.min, QStringLiteral("3.0.02"));
    QCOMPARE(two.max, QStringLiteral("3.0.09"));
    const VersionFields four = TakeVersionFields(QStringLiteral("3.0.06;3.0.02;3.0.08;9.9.99"), before);
    QCOMPARE(four.max, QStringLiteral("3.0.08"));
    const VersionFields none = TakeVersionFields(QStringLiteral("garbage"), before);
    QCOMPARE(none.latest, before.latest);
    QCOMPARE(none.min, before.min);
}

void VersionTest::upgraderGetsThePathAsOneArgument()
{
    const QString client = QStringLiteral("/opt/Sorvane Terminal/clikw730");
    QCOMPARE(UpgraderArguments(client, QStringLiteral("000")), QStringList({client, QStringLiteral("000")}));
    QCOMPARE(UpgraderFolders(client, QStringLiteral("/home/u/work dir")),
             QStringList({QStringLiteral("/opt/Sorvane Terminal"), QStringLiteral("/home/u/work dir")}));
}

void VersionTest::upgraderStartsFromTheWorkingDirectory()
{
    // A stand-in upgrader in the working directory records what it was started with.
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/upgrade with blank XXXXXX"));
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString record = dir.filePath(QStringLiteral("args.txt"));
    QFile script(dir.filePath(QStringLiteral("zunup")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.tmp'\n"
                                "mv '%1.tmp' '%1'\n")
                     .arg(record)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const bool started = StartUpgrader();
    QDir::setCurrent(previous);
    QVERIFY(started);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
    QFile args(record);
    QVERIFY(args.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(args.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, QStringList({platform::OwnProgramPath(), QStringLiteral("000")}));
}

void VersionTest::missingUpgraderIsNoError()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const bool started = StartUpgrader();
    QDir::setCurrent(previous);
    QVERIFY(!started);
}

QTEST_GUILESS_MAIN(VersionTest)
#include "tst_version.moc"
