#include "RetrySchedule.h"

#include <QTest>

// When an unreachable page is tried again, and which failures count as unreachable.
class RetryScheduleTest : public QObject
{
    Q_OBJECT

private slots:
    void unreachable_data();
    void unreachable();
    void delays_data();
    void delays();
    void offlinePageShowsTheAddressAsWritten();
};

void RetryScheduleTest::unreachable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("unreachable");
    QTest::newRow("refused") << -102 << true;
    QTest::newRow("reset") << -101 << true;
    QTest::newRow("connection timed out") << -118 << true;
    QTest::newRow("timed out") << -7 << true;
    QTest::newRow("name not resolved") << -105 << true;
    QTest::newRow("no network") << -106 << true;
    QTest::newRow("resolver failure") << -803 << true;
    QTest::newRow("cancelled navigation") << -3 << false;
    QTest::newRow("unsafe port") << -312 << false;
    QTest::newRow("bad certificate") << -202 << false;
    QTest::newRow("HTTP 404 from the service") << 404 << false;
    QTest::newRow("HTTP 500 from the service") << 500 << false;
    QTest::newRow("no error") << 0 << false;
}

void RetryScheduleTest::unreachable()
{
    QFETCH(int, code);
    QFETCH(bool, unreachable);
    QCOMPARE(IsUnreachableError(code), unreachable);
}

void RetryScheduleTest::delays_data()
{
    QTest::addColumn<qint64>("failingForMs");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("first failure") << qint64(0) << 4000;
    QTest::newRow("end of the first minute") << qint64(59999) << 4000;
    QTest::newRow("a minute on") << qint64(60000) << 30000;
    QTest::newRow("three hours on") << qint64(3 * 3600 * 1000) << 30000;
}

void RetryScheduleTest::delays()
{
    QFETCH(qint64, failingForMs);
    QFETCH(int, delayMs);
    QCOMPARE(RetryDelayMs(failingForMs), delayMs);
}

void RetryScheduleTest::offlinePageShowsTheAddressAsWritten()
{
    // Markup in the address stays text; a "%2" in it is not filled in as the seconds.
    const QString html = OfflinePageHtml(QStringLiteral("http://h/a?x=%2F&y=<b>"), 4);
    QVERIFY(html.contains(QStringLiteral("http://h/a?x=%2F&amp;y=&lt;b&gt;")));
    QVERIFY(html.contains(QStringLiteral("4 秒后再试")));
    QVERIFY(html.contains(QStringLiteral("id=\"sorvane-retry\"")));
}

QTEST_GUILESS_MAIN(RetryScheduleTest)

#include "tst_retryschedule.moc"
