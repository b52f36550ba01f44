#include "PopupCommands.h"

#include <QTest>

// The pop-up command URLs: which effects a URL asks for, and in which order.
class PopupCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void interpret_data();
    void interpret();
    void openWindowParameters_data();
    void openWindowParameters();
    void chooseTargetWindow_data();
    void chooseTargetWindow();
    void linkPopupCommand_data();
    void linkPopupCommand();
    void spriteCloses_data();
    void spriteCloses();
};

namespace {

// One line per effect, so a failing row shows the whole list.
QStringList describe(const QList<PopupEffect> &effects)
{
    QStringList lines;
    for (const PopupEffect &effect : effects) {
        switch (effect.kind) {
        case PopupEffectKind::ShowAlert:
            lines << QStringLiteral("alert:") + effect.text;
            break;
        case PopupEffectKind::Cancel:
            lines << QStringLiteral("cancel");
            break;
        case PopupEffectKind::SetDialogResult:
            lines << QStringLiteral("result");
            break;
        case PopupEffectKind::Close:
            lines << QStringLiteral("close");
            break;
        case PopupEffectKind::OpenWindow:
            lines << QStringLiteral("open:") + effect.open.url;
            break;
        }
    }
    return lines;
}

// "TfrmIE:name,TfrmIEOne:name" as a window list.
QList<PopupWindowEntry> windowList(const QString &text)
{
    QList<PopupWindowEntry> windows;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int colon = item.indexOf(QLatin1Char(':'));
        windows.append({item.left(colon), item.mid(colon + 1)});
    }
    return windows;
}

} // namespace

void PopupCommandsTest::interpret_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("effects");

    const QString page = QStringLiteral("http://127.0.0.1/p.html");
    QTest::newRow("ordinary page") << page + "?a=1&b=2" << QStringList();
    QTest::newRow("close after ?") << page + "?cpp_close=1" << QStringList{"close", "cancel"};
    QTest::newRow("close with empty value") << page + "?x=1&cpp_close=" << QStringList{"close", "cancel"};
    QTest::newRow("key without separator is no key") << page + "?xcpp_close=1" << QStringList();
    QTest::newRow("keys are case-sensitive") << page + "?x=1&CPP_CLOSE=1&Cpp_Alert=a" << QStringList();
    QTest::newRow("alert then close") << page + "?x=1&cpp_alert=Hello&cpp_close=1"
                                      << QStringList{"alert:\nHello\n", "cancel", "close", "cancel"};
    QTest::newRow("order of steps, not of the url")
        << page + "?cpp_close=1&cpp_alert=Hi" << QStringList{"alert:\nHi\n", "cancel", "close", "cancel"};
    QTest::newRow("four-digit escapes")
        << page + "?x=1&cpp_alert=%u4F60%u597D" << QStringList{QStringLiteral("alert:\n你好\n"), "cancel"};
    QTest::newRow("alert keeps its plus")
        << page + "?x=1&cpp_alert=a+b" << QStringList{"alert:\na+b\n", "cancel"};
    QTest::newRow("alert two-digit escape")
        << page + "?x=1&cpp_alert=a%2Bb%21" << QStringList{"alert:\na+b!\n", "cancel"};
    QTest::newRow("? inside the alert ends it")
        << page + "?x=1&cpp_alert=why?not" << QStringList{"alert:\nwhy\n", "cancel"};
    QTest::newRow("empty alert") << page + "?cpp_alert=" << QStringList{"alert:\n\n", "cancel"};
    QTest::newRow("abort") << page + "?cpp_abort=1" << QStringList{"cancel"};
    QTest::newRow("login ok lets the page go on") << page + "?x=1&cpp_login_ok=1" << QStringList{"result"};
    QTest::newRow("open window") << page + "?cpp_open_win=1&cpp_url=http%3A%2F%2Fh%2Fq.html"
                                 << QStringList{"open:http://h/q.html", "cancel"};
    QTest::newRow("every command at once")
        << page + "?cpp_open_win=1&cpp_url=u&cpp_close=1&cpp_login_ok=1&cpp_abort=1&cpp_alert=A"
        << QStringList{"alert:\nA\n", "cancel", "cancel", "result", "close", "cancel", "open:u", "cancel"};
}

void PopupCommandsTest::interpret()
{
    QFETCH(QString, url);
    QFETCH(QStringList, effects);
    const QList<PopupEffect> result = InterpretPopupCommand(url);
    QCOMPARE(describe(result), effects);
    QCOMPARE(CancelsNavigation(result), effects.contains(QStringLiteral("cancel")));
}

void PopupCommandsTest::openWindowParameters_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected"); // url, left, top, width, height, target, border style

    QTest::newRow("encoded plus is a plus") << "&cpp_url=a%2Bb" << QStringList{"a+b", "", "", "", "", "", ""};
    QTest::newRow("plus is a blank") << "&cpp_url=a+b" << QStringList{"a b", "", "", "", "", "", ""};
    QTest::newRow("unencoded ? ends the address")
        << "&cpp_url=http://h/q.html?id=5&cpp_width=300"
        << QStringList{"http://h/q.html", "", "", "300", "", "", ""};
    QTest::newRow("unencoded & ends the address")
        << "&cpp_url=http://h/q.html&id=5" << QStringList{"http://h/q.html", "", "", "", "", "", ""};
    QTest::newRow("encoded query kept whole") << "&cpp_url=http%3A%2F%2Fh%2Fq%3Fid%3D5%26b%3D2"
                                              << QStringList{"http://h/q?id=5&b=2", "", "", "", "", "", ""};
    QTest::newRow("UTF-8 bytes") << "&cpp_url=%E4%BD%A0.html"
                                 << QStringList{QStringLiteral("你.html"), "", "", "", "", "", ""};
    QTest::newRow("four-digit escape is not form decoding")
        << "&cpp_url=%u4F60" << QStringList{"%u4F60", "", "", "", "", "", ""};
    QTest::newRow("nothing added to the address")
        << "&cpp_url=q.html" << QStringList{"q.html", "", "", "", "", "", ""};
    QTest::newRow("every parameter") << "&cpp_target=Win1&cpp_BorderStyle=bsNone&cpp_height=200&cpp_width="
                                        "300&cpp_top=20&cpp_left=10&cpp_url=u"
                                     << QStringList{"u", "10", "20", "300", "200", "Win1", "bsNone"};
    QTest::newRow("keyword left as written")
        << "&cpp_left=YouXia&cpp_top=Center" << QStringList{"", "YouXia", "Center", "", "", "", ""};
}

void PopupCommandsTest::openWindowParameters()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const QList<PopupEffect> effects =
        InterpretPopupCommand("http://127.0.0.1/p.html?cpp_open_win=1" + query);
    QCOMPARE(effects.size(), 2);
    QCOMPARE(effects.at(0).kind, PopupEffectKind::OpenWindow);
    const OpenWindowRequest &open = effects.at(0).open;
    QCOMPARE(
        (QStringList{open.url, open.left, open.top, open.width, open.height, open.target, open.borderStyle}),
        expected);
}

void PopupCommandsTest::chooseTargetWindow_data()
{
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("chosen");

    QTest::newRow("no target, no search") << "TfrmIE:,TfrmIE:"
                                          << "" << -1;
    QTest::newRow("found by name") << "TfrmLogin:,TfrmIE:,TfrmIE:news,TfrmIE:mail"
                                   << "news" << 2;
    QTest::newRow("last match wins") << "TfrmIE:news,TfrmIE:mail,TfrmIE:news"
                                     << "news" << 2;
    QTest::newRow("framed pop-up never chosen") << "TfrmIEOne:news"
                                                << "news" << -1;
    QTest::newRow("framed pop-up after a match") << "TfrmIE:news,TfrmIEOne:news"
                                                 << "news" << 0;
    QTest::newRow("name is case-sensitive") << "TfrmIE:News"
                                            << "news" << -1;
    QTest::newRow("class must match exactly") << "TfrmIEx:news,TfrmPopIe:news"
                                              << "news" << -1;
    QTest::newRow("no window of that name") << "TfrmIE:news"
                                            << "mail" << -1;
}

void PopupCommandsTest::chooseTargetWindow()
{
    QFETCH(QString, windows);
    QFETCH(QString, target);
    QFETCH(int, chosen);
    QCOMPARE(ChooseTargetWindow(windowList(windows), target), chosen);
}

void PopupCommandsTest::linkPopupCommand_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("command");

    const auto none = int(LinkPopupCommand::None);
    const auto hide = int(LinkPopupCommand::Hide);
    const auto refresh = int(LinkPopupCommand::Refresh);
    QTest::newRow("ordinary page") << "http://h/p.html?a=1" << none;
    QTest::newRow("close") << "http://h/p.html?action=close" << hide;
    QTest::newRow("min hides too") << "http://h/p.html?action=min" << hide;
    QTest::newRow("close wins over refresh") << "http://h/p.html?action=refresh&x=action=close" << hide;
    QTest::newRow("refresh") << "http://h/p.html?action=refresh" << refresh;
    QTest::newRow("other letter case is a page") << "http://h/p.html?Action=Close" << none;
    QTest::newRow("anywhere in the url") << "http://h/action=min/p.html" << hide;
}

void PopupCommandsTest::linkPopupCommand()
{
    QFETCH(QString, url);
    QFETCH(int, command);
    QCOMPARE(int(InterpretLinkPopupCommand(url)), command);
}

void PopupCommandsTest::spriteCloses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("closes");
    QTest::newRow("close") << "http://h/p.html?action=close" << true;
    QTest::newRow("other letter case") << "http://h/p.html?Action=close" << false;
    QTest::newRow("min is a page here") << "http://h/p.html?action=min" << false;
    QTest::newRow("ordinary page") << "http://h/p.html" << false;
}

void PopupCommandsTest::spriteCloses()
{
    QFETCH(QString, url);
    QFETCH(bool, closes);
    QCOMPARE(SpriteClosesFor(url), closes);
}

QTEST_GUILESS_MAIN(PopupCommandsTest)
#include "tst_popupcommands.moc"
