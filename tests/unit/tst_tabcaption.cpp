#include "client/mainwindow/PageWindowRules.h"

#include <QTest>

class TabCaptionTest : public QObject
{
    Q_OBJECT

private slots:
    void caption_data();
    void caption();
    void progress_data();
    void progress();
    void videoPosition_data();
    void videoPosition();
};

void TabCaptionTest::caption_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("status");
    QTest::newRow("short ascii") << "Quotes"
                                 << "Quotes"
                                 << "Quotes";
    QTest::newRow("ascii exactly 20") << "abcdefghijklmnopqrst"
                                      << "abcdefghijklmnopqrst"
                                      << "abcdefghijklmnopqrst";
    QTest::newRow("ascii 21 cut to 20") << "abcdefghijklmnopqrstu"
                                        << "abcdefghijklmnopqrst"
                                        << "abcdefghijklmnopqrstu";
    const QString fifteen = QStringLiteral("沪深两市今日行情回顾与明日走势");
    QTest::newRow("15 Chinese -> 10") << fifteen << fifteen.left(10) << fifteen;
    // 1 + 9 * 2 = 19 bytes; the tenth character would need bytes 20 and 21.
    const QString mixed = QStringLiteral("A沪深两市今日行情回顾");
    QTest::newRow("never half a character") << mixed << mixed.left(10) << mixed;
    QTest::newRow("mix fills 20 exactly")
        << QStringLiteral("AB沪深两市今日行情回顾") << QStringLiteral("AB沪深两市今日行情回")
        << QStringLiteral("AB沪深两市今日行情回顾");
    QTest::newRow("address title replaced") << "http://www.kw730.h/p"
                                            << "Telvar金融终端......"
                                            << "Telvar金融终端......";
    QTest::newRow("https inside a title") << "see https://x"
                                          << "Telvar金融终端......"
                                          << "Telvar金融终端......";
    // A character outside the basic plane is one character of two UTF-16 units; the code page has
    // none of them, so it counts 1 (a "?" there).
    QTest::newRow("surrogate pair stays whole")
        << QStringLiteral("abcdefghijklmnopqrs\U0001F600x") << QStringLiteral("abcdefghijklmnopqrs\U0001F600")
        << QStringLiteral("abcdefghijklmnopqrs\U0001F600x");
    QTest::newRow("surrogate pair counts 1")
        << QStringLiteral("abcdefghijklmnopqr\U0001F600x") << QStringLiteral("abcdefghijklmnopqr\U0001F600x")
        << QStringLiteral("abcdefghijklmnopqr\U0001F600x");
    // Counted as the code page counts: its double-byte range reaches beyond CJK.
    QTest::newRow("full-width punctuation counts 2")
        << QStringLiteral("行情，涨跌。今日（沪深）回顾") << QStringLiteral("行情，涨跌。今日（沪")
        << QStringLiteral("行情，涨跌。今日（沪深）回顾");
    QTest::newRow("Greek counts 2") << QString(11, QChar(0x03B1)) << QString(10, QChar(0x03B1))
                                    << QString(11, QChar(0x03B1));
    QTest::newRow("letters the code page lacks count 1")
        << QString(21, QChar(0x00F1)) << QString(20, QChar(0x00F1)) << QString(21, QChar(0x00F1));
    QTest::newRow("Korean is not in the code page")
        << QStringLiteral("한국어한국어한국어한국어한국어한국어한국어")
        << QStringLiteral("한국어한국어한국어한국어한국어한국어한국")
        << QStringLiteral("한국어한국어한국어한국어한국어한국어한국어");
    QTest::newRow("euro sign is one byte")
        << QString(21, QChar(0x20AC)) << QString(20, QChar(0x20AC)) << QString(21, QChar(0x20AC));
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TabCaptionTest::caption()
{
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QFETCH(QString, status);
    const TabTitleTexts texts = TabTitleFor(title);
    QCOMPARE(texts.caption, caption);
    QCOMPARE(texts.status, status);
}

void TabCaptionTest::progress_data()
{
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("text"); // null: nothing to show
    QTest::newRow("example") << 4500 << 10000 << " 45%, 4500 / 10000";
    QTest::newRow("truncated, not rounded") << 999 << 1000 << " 99%, 999 / 1000";
    QTest::newRow("done") << 100 << 100 << " 100%, 100 / 100";
    QTest::newRow("zero progress") << 0 << 100 << " 0%, 0 / 100";
    QTest::newRow("maximum 0") << 50 << 0 << QString();
    QTest::newRow("large values do not overflow")
        << 2000000000 << 2000000000 << " 100%, 2000000000 / 2000000000";
    QTest::newRow("negative truncates toward zero") << -1 << 3 << " -33%, -1 / 3";
}

void TabCaptionTest::progress()
{
    QFETCH(int, progress);
    QFETCH(int, maximum);
    QFETCH(QString, text);
    const std::optional<QString> status = ProgressStatusText(progress, maximum);
    QCOMPARE(status.has_value(), !text.isNull());
    if (status)
        QCOMPARE(*status, text);
}

void TabCaptionTest::videoPosition_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("1920x1080, framed") << QRect(0, 0, 1920, 1080) << QSize(542, 428) << QPoint(1368, 612);
    QTest::newRow("1280x1024, no frame") << QRect(0, 0, 1280, 1024) << QSize(532, 399) << QPoint(738, 585);
    QTest::newRow("screen smaller than the window")
        << QRect(0, 0, 500, 400) << QSize(532, 399) << QPoint(-42, -39);
    QTest::newRow("primary on the right")
        << QRect(1280, 0, 1920, 1200) << QSize(542, 428) << QPoint(2648, 732);
}

void TabCaptionTest::videoPosition()
{
    QFETCH(QRect, screen);
    QFETCH(QSize, outer);
    QFETCH(QPoint, position);
    QCOMPARE(VideoWindowPosition(screen, outer), position);
}

QTEST_APPLESS_MAIN(TabCaptionTest)
#include "tst_tabcaption.moc"
