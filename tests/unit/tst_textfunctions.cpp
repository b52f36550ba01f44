#include "Unit_func.h"

#include "platform/machineid.h"

#include <QRegularExpression>
#include <QTest>

class TextFunctionsTest : public QObject
{
    Q_OBJECT

private slots:
    void getUrlParam_data();
    void getUrlParam();
    void replaceAllIgnoreCase_data();
    void replaceAllIgnoreCase();
    void unescapeUrlText_data();
    void unescapeUrlText();
    void splitFields_data();
    void splitFields();
    void formDecode_data();
    void formDecode();
    void captionForTitle_data();
    void captionForTitle();
    void machineId();
};

void TextFunctionsTest::getUrlParam_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("after &") << "p?a=1&b=2"
                             << "b"
                             << "2";
    QTest::newRow("case matters") << "p?a=1&b=2"
                                  << "B"
                                  << "";
    QTest::newRow("absent") << "p?a=1&b=2"
                            << "c"
                            << "";
    QTest::newRow("value keeps its ?") << "x?cpp_url=q?id=5&cpp_left=10"
                                       << "cpp_url"
                                       << "q?id=5";
    QTest::newRow("? form wins over earlier &") << "x&a=1?a=2"
                                                << "a"
                                                << "2";
    QTest::newRow("empty value") << "x?a=&b=1"
                                 << "a"
                                 << "";
    QTest::newRow("runs to the end") << "x?a=12"
                                     << "a"
                                     << "12";
    QTest::newRow("no decoding, fragment kept") << "x?a=%41+b#frag"
                                                << "a"
                                                << "%41+b#frag";
    QTest::newRow("name is not a suffix match") << "x?xa=1&a=2"
                                                << "a"
                                                << "2";
    QTest::newRow("empty url") << ""
                               << "a"
                               << "";
    QTest::newRow("empty name") << "x?=1"
                                << ""
                                << "";
    QTest::newRow("nothing after =") << "x?a="
                                     << "a"
                                     << "";
}

void TextFunctionsTest::getUrlParam()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QCOMPARE(GetUrlParam(url, name), value);
}

void TextFunctionsTest::replaceAllIgnoreCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::newRow("mixed case") << "AbcABC"
                                << "abc"
                                << "x"
                                << "xx";
    QTest::newRow("? to &") << "p?a=1?b=2"
                            << "?"
                            << "&"
                            << "p&a=1&b=2";
    QTest::newRow("replacement not rescanned") << "aa"
                                               << "a"
                                               << "aa"
                                               << "aaaa";
    QTest::newRow("non-overlapping") << "aaa"
                                     << "aa"
                                     << "b"
                                     << "ba";
    QTest::newRow("no match") << "abc"
                              << "z"
                              << "y"
                              << "abc";
    QTest::newRow("empty pattern") << "abc"
                                   << ""
                                   << "y"
                                   << "abc";
}

void TextFunctionsTest::replaceAllIgnoreCase()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QCOMPARE(ReplaceAllIgnoreCase(text, pattern, replacement), result);
}

void TextFunctionsTest::unescapeUrlText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("two-digit, four-digit, plus, lone %")
        << "%41%u4E2D+%" << QStringLiteral("A") + QChar(0x4E2D) + QStringLiteral("+%");
    QTest::newRow("too short after u") << "%u41"
                                       << "%u41";
    QTest::newRow("bytes are not combined")
        << "%E4%B8%AD" << QString(QChar(0xE4)) + QChar(0xB8) + QChar(0xAD);
    QTest::newRow("two Chinese characters") << "%u4F60%u597D" << QStringLiteral("你好");
    QTest::newRow("non-hex digit counts 63") << "%4g" << QString(QChar((4 * 16) | 63));
    QTest::newRow("upper-case U is no marker") << "%U4F60" << QString(QChar((63 * 16) | 4)) + "F60";
    QTest::newRow("% at the end with one char") << "a%4"
                                                << "a%4";
    QTest::newRow("plain text") << "a+b"
                                << "a+b";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("wide digit counts 63") << QStringLiteral("%中1") << QString(QChar((63 * 16) | 1));
}

void TextFunctionsTest::unescapeUrlText()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(UnescapeUrlText(text), result);
}

void TextFunctionsTest::splitFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("delimiter");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("two") << "a|b" << QChar('|') << QStringList{"a", "b"};
    QTest::newRow("trailing delimiter") << "a|b|" << QChar('|') << QStringList{"a", "b", ""};
    QTest::newRow("blank separates") << "a b|c" << QChar('|') << QStringList{"a", "b", "c"};
    QTest::newRow("empty") << "" << QChar('|') << QStringList{};
    QTest::newRow("empty middle") << "a||b" << QChar('|') << QStringList{"a", "", "b"};
    QTest::newRow("versions") << "3.0.06;3.0.01;3.0.09" << QChar(';')
                              << QStringList{"3.0.06", "3.0.01", "3.0.09"};
    QTest::newRow("login answer with a blank") << "x|loginok|welcome user|t|u" << QChar('|')
                                               << QStringList{"x", "loginok", "welcome", "user", "t", "u"};
    QTest::newRow("quoted field") << "a|\"b c\"\"d\"|e" << QChar('|') << QStringList{"a", "b c\"d", "e"};
    QTest::newRow("surrounding white space") << "  a | b \n" << QChar('|') << QStringList{"a", "b"};
    QTest::newRow("only a delimiter") << "|" << QChar('|') << QStringList{"", ""};
}

void TextFunctionsTest::splitFields()
{
    QFETCH(QString, text);
    QFETCH(QChar, delimiter);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitFields(text, delimiter), fields);
}

void TextFunctionsTest::formDecode_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("encoded plus") << "a%2Bb"
                                  << "a+b";
    QTest::newRow("plus is a blank") << "a+b"
                                     << "a b";
    QTest::newRow("address") << "http%3A%2F%2Fh%2Fp%3Fx%3D1"
                             << "http://h/p?x=1";
    QTest::newRow("utf-8 bytes") << "%E4%B8%AD" << QStringLiteral("中");
    QTest::newRow("broken escape stays") << "50%"
                                         << "50%";
    QTest::newRow("broken escape in the middle") << "a%zzb"
                                                 << "a%zzb";
    QTest::newRow("raw Chinese") << QStringLiteral("中文") << QStringLiteral("中文");
}

void TextFunctionsTest::formDecode()
{
    QFETCH(QString, value);
    QFETCH(QString, decoded);
    QCOMPARE(FormDecode(value), decoded);
}

void TextFunctionsTest::captionForTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    const QString replaced = QStringLiteral("Telvar金融终端......");
    QTest::newRow("bare address") << "http://127.0.0.1/x" << replaced;
    QTest::newRow("https inside") << "see https://a" << replaced;
    QTest::newRow("case-sensitive") << "HTTP://A"
                                    << "HTTP://A";
    QTest::newRow("plain") << QStringLiteral("行情") << QStringLiteral("行情");
    QTest::newRow("empty") << ""
                           << "";
}

void TextFunctionsTest::captionForTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QCOMPARE(CaptionForTitle(title), caption);
}

void TextFunctionsTest::machineId()
{
    const QRegularExpression eightHex(QStringLiteral("^[0-9A-F]{8}$"));
    QVERIFY(eightHex.match(ComputeMachineId()).hasMatch());
    QCOMPARE(ComputeMachineId(), ComputeMachineId());
    QCOMPARE(platform::FormatVolumeId(0xA1B2C3D), QStringLiteral("0A1B2C3D"));
    QCOMPARE(platform::FormatVolumeId(0xFFFFFFFF), QStringLiteral("FFFFFFFF"));
}

QTEST_GUILESS_MAIN(TextFunctionsTest)
#include "tst_textfunctions.moc"
