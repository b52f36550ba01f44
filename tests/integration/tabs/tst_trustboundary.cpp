// Who may command the shell and what it loads, in real windows against two portals: the service
// (the web root's origin) and another origin on a second port.
#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientSession.h"
#include "CppWebBrowser.h"
#include "EngineTestMain.h"
#include "FloodLimits.h"
#include "MessageBoxes.h"
#include "PageDriver.h"
#include "client/mainwindow/Dismess.h"
#include "client/mainwindow/Main.h"
#include "client/mainwindow/PageControlEx.h"
#include "client/popups/Unit_ie.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Where the stand-in for the system's browser writes the addresses it is asked to open.
QString g_openedLog;

int OpenedCount()
{
    return int(OpenedAddressesIn(g_openedLog).size());
}

QString Encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QList<TfrmIE *> LivePopups()
{
    QList<TfrmIE *> found;
    for (QWidget *window : AppWindows()) {
        auto *form = qobject_cast<TfrmIE *>(window);
        if (form && !form->isClosing())
            found << form;
    }
    return found;
}

bool HasBox(const QList<MessageBoxRequest> &boxes, const QString &text)
{
    for (const MessageBoxRequest &box : boxes) {
        if (box.text == QLatin1Char('\n') + text + QLatin1Char('\n'))
            return true;
    }
    return false;
}

} // namespace

class TrustBoundaryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void commandsOnlyFromTheService_data();
    void commandsOnlyFromTheService();
    void onlyWebAddressesOpen_data();
    void onlyWebAddressesOpen();
    void otherOriginInTheBodyCommandsNothing();
    void alertShowsMarkupAsText();
    void longSkinLeavesSettingsAlone();
    void systemBrowserLaunchesAreLimited();
    void popupLoopStaysBounded();

private:
    QString root(const QString &which) const
    {
        return which == QLatin1String("other") ? m_other->baseUrl() : m_client->portal().baseUrl();
    }
    // The test page at `origin` that follows `link` once loaded, reporting `mark`.
    QString follower(const QString &origin, const QString &link, const QString &mark) const
    {
        return root(origin) + "/trust-test/page.html?auto=1&mark=" + mark + "&cmd=" + Encoded(link);
    }
    // Alert, open a pop-up and close, all at once, from the service's command page.
    QString everyCommand(const QString &mark) const
    {
        return root("service") + "/kw730/cmd.jsp?x=1&cpp_alert=" + mark + "&cpp_open_win=1&cpp_url=" +
               Encoded(root("service") + "/trust-test/opened.html?mark=" + mark) + "&cpp_close=1";
    }
    // A plain pop-up that the shell itself opened on `url`.
    static TfrmIE *popupOn(const QString &url);
    // Requests of both portals since init() whose "path<tab>query" contains `text`.
    int requestsWith(const QString &text);
    QStringList otherLog() { return m_other->requestLog().mid(m_otherMark); }
    // A service pop-up's alert, which comes after everything asked for before it.
    void sentinel(const QString &mark);

    std::unique_ptr<ClientSession> m_client;
    std::unique_ptr<PortalProcess> m_other;
    int m_serviceMark = 0;
    int m_otherMark = 0;
};

// One login and one other origin for the class: every case starts from the main window on its
// start pages with no pop-up open.
void TrustBoundaryTest::initTestCase()
{
    m_other = std::make_unique<PortalProcess>();
    QVERIFY2(m_other->start(), qPrintable(m_other->errorString()));
    m_client = std::make_unique<ClientSession>();
    QVERIFY2(m_client->start(), qPrintable(m_client->error()));
}

void TrustBoundaryTest::init()
{
    QVERIFY(m_client && m_other);
    QVERIFY2(m_client->reset(), qPrintable(m_client->error()));
    QFile::remove(g_openedLog);
    m_serviceMark = int(m_client->portal().requestLog().size());
    m_otherMark = int(m_other->requestLog().size());
}

void TrustBoundaryTest::cleanupTestCase()
{
    m_client.reset();
    m_other.reset();
}

TfrmIE *TrustBoundaryTest::popupOn(const QString &url)
{
    auto *form = CreateForm<TfrmIE>();
    form->setGeometry(200, 150, 551, 413);
    form->show();
    form->ie1->Navigate(url);
    return form;
}

int TrustBoundaryTest::requestsWith(const QString &text)
{
    int count = 0;
    for (const QString &line : m_client->portal().requestLog().mid(m_serviceMark) + otherLog()) {
        if (line.section(QLatin1Char('\t'), 1).contains(text))
            ++count;
    }
    return count;
}

void TrustBoundaryTest::sentinel(const QString &mark)
{
    popupOn(
        follower("service", root("service") + "/kw730/cmd.jsp?x=1&cpp_alert=" + mark + "&cpp_close=1", mark));
    QTRY_VERIFY_WITH_TIMEOUT(HasBox(m_client->boxes(), mark), 20000);
}

void TrustBoundaryTest::commandsOnlyFromTheService_data()
{
    QTest::addColumn<QString>("page");  // where the pop-up's page comes from
    QTest::addColumn<QString>("frame"); // where the frame that commands comes from; empty: the page commands
    QTest::addColumn<QString>("redirect"); // whose redirect carries the command; empty: none
    QTest::addColumn<bool>("obeyed");
    QTest::newRow("service page") << "service"
                                  << ""
                                  << "" << true;
    QTest::newRow("same-origin frame") << "service"
                                       << "service"
                                       << "" << true;
    QTest::newRow("redirect from the service") << "service"
                                               << ""
                                               << "service" << true;
    QTest::newRow("other-origin frame") << "service"
                                        << "other"
                                        << "" << false;
    QTest::newRow("other-origin page") << "other"
                                       << ""
                                       << "" << false;
    QTest::newRow("service frame in an other-origin page") << "other"
                                                           << "service"
                                                           << "" << false;
    QTest::newRow("redirect from elsewhere") << "service"
                                             << ""
                                             << "other" << false;
}

void TrustBoundaryTest::commandsOnlyFromTheService()
{
    QFETCH(QString, page);
    QFETCH(QString, frame);
    QFETCH(QString, redirect);
    QFETCH(bool, obeyed);
    static int row = 0;
    const QString mark = QStringLiteral("row%1x").arg(++row);
    const QString command = everyCommand(mark);
    const QString link = redirect.isEmpty() ? command : root(redirect) + "/__redirect?to=" + Encoded(command);
    const QString commander = follower(frame.isEmpty() ? page : frame, link, mark);
    const QString shown = frame.isEmpty()
                              ? commander
                              : root(page) + "/trust-test/page.html?mark=top&frame=" + Encoded(commander);
    const QPointer<TfrmIE> popup = popupOn(shown);

    if (obeyed) {
        QTRY_VERIFY_WITH_TIMEOUT(HasBox(m_client->boxes(), mark), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(requestsWith("opened.html\tmark=" + mark) == 1, 20000);
        QTRY_VERIFY(!popup || popup->isClosing());
        bool shownOpened = false;
        for (TfrmIE *form : LivePopups())
            shownOpened = shownOpened || (form->isVisible() && form->ie1->LocationURL().contains(mark));
        QVERIFY(shownOpened);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(requestsWith("trust-followed&mark=" + mark) == 1, 20000);
    sentinel(mark + "-after");
    QVERIFY(!HasBox(m_client->boxes(), mark));
    QVERIFY(popup && !popup->isClosing() && popup->isVisible());
    QVERIFY(popup->ie1->LocationURL().contains(QLatin1String("/trust-test/page.html")));
    QCOMPARE(requestsWith("/opened.html\t"), 0);
    QCOMPARE(requestsWith("/kw730/cmd.jsp\t"), 0);
    QVERIFY(frmMain->isVisible());
    QVERIFY(frmMain->cppBody->LocationURL().contains(QLatin1String("index02")));
}

void TrustBoundaryTest::onlyWebAddressesOpen_data()
{
    QTest::addColumn<QString>("address");
    // BEACON: a request that shows the address was loaded and its script ran.
    QTest::newRow("file") << "file:///etc/hostname";
    QTest::newRow("data") << "data:text/html,<script>(new Image()).src='BEACON'</script>";
    QTest::newRow("javascript") << "javascript:(new Image()).src='BEACON'";
    QTest::newRow("view-source") << "view-source:ROOT/trust-test/opened.html?mark=source";
}

void TrustBoundaryTest::onlyWebAddressesOpen()
{
    QFETCH(QString, address);
    address.replace("BEACON", root("service") + "/__beacon?page=scheme-ran").replace("ROOT", root("service"));
    const int popups = LivePopups().size();
    // The alert shows the command was taken; the open-window step runs right after it.
    const QString command =
        root("service") + "/kw730/cmd.jsp?x=1&cpp_alert=scheme&cpp_open_win=1&cpp_url=" + Encoded(address);
    const QPointer<TfrmIE> popup = popupOn(follower("service", command, "scheme"));
    QTRY_VERIFY_WITH_TIMEOUT(HasBox(m_client->boxes(), "scheme"), 20000);
    sentinel("scheme-after");
    QVERIFY(popup && popup->isVisible());
    // No window besides the commanding pop-up (the sentinel's has closed itself).
    QCOMPARE(LivePopups().size(), popups + 1);
    QCOMPARE(requestsWith("/__beacon\tpage=scheme-ran"), 0);
    QCOMPARE(requestsWith("/opened.html\t"), 0);
}

void TrustBoundaryTest::otherOriginInTheBodyCommandsNothing()
{
    // "kw730" stands in the other origin's address as well; it makes no command of it.
    const QString page = follower("other", root("other") + "/kw730/cmd.jsp?tarwin=1&mark=tab", "tab");
    frmMain->cppBody->Navigate(page);
    QTRY_VERIFY_WITH_TIMEOUT(requestsWith("trust-followed") >= 1, 20000);
    // The service's own tab command comes after it and is obeyed.
    frmMain->cppBody->Navigate(
        follower("service", root("service") + "/kw730/news.jsp?id=7&tarwin=1", "tab2"));
    QTRY_VERIFY_WITH_TIMEOUT(frmDisMess && frmDisMess->isVisible() && frmDisMess->pageControl()->count() == 1,
                             20000);
    QTRY_VERIFY(frmDisMess->tabBrowser(0)->LocationURL().contains(QLatin1String("news.jsp?id=7")));
    QCOMPARE(otherLog().filter(QStringLiteral("/kw730/cmd.jsp")).size(), 0);
    QVERIFY(frmMain->isVisible());
}

void TrustBoundaryTest::alertShowsMarkupAsText()
{
    // The real box this time, read from the screen's widgets and closed with its button.
    SetMessageBoxHandler({});
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    QTimer reader;
    connect(&reader, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        shownText = label ? label->text() : QString();
        format = label ? label->textFormat() : Qt::AutoText;
        box->button(QMessageBox::Ok)->click();
    });
    reader.start(50);
    const QString command = root("service") + "/kw730/cmd.jsp?x=1&cpp_alert=%3Cb%3Ex%3C%2Fb%3E&cpp_close=1";
    const QPointer<TfrmIE> popup = popupOn(follower("service", command, "markup"));
    QTRY_VERIFY_WITH_TIMEOUT(!shownText.isEmpty(), 20000);
    QCOMPARE(shownText, QStringLiteral("\n<b>x</b>\n"));
    QCOMPARE(format, Qt::PlainText);
    QTRY_VERIFY(!popup || popup->isClosing());
}

void TrustBoundaryTest::longSkinLeavesSettingsAlone()
{
    QFile file(m_client->settingsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const int bodyLoads = m_client->requestsOf("/clilogin/index02.jsp");
    const QString skin(1 << 20, QLatin1Char('s'));
    ScriptResult(frmMain->cppBody, "location.href = '/kw730/skin.jsp?action=skin&skin=" + skin + "'; true");
    // The command ends by reloading the three areas; the file was written, or not, before that.
    QTRY_VERIFY_WITH_TIMEOUT(m_client->requestsOf("/clilogin/index02.jsp") > bodyLoads, 30000);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TrustBoundaryTest::systemBrowserLaunchesAreLimited()
{
    // The service asks for its home page again and again; the system's browser starts ten times.
    const QString script = QStringLiteral(
        "var n = 0; var t = setInterval(function () { location.href = "
        "'/kw730/cmd.jsp?action=webhome&linkinfo='"
        " + location.origin + '/index.html?n=' + n; if (++n == %1) clearInterval(t); }, 30); true");
    ScriptResult(frmMain->cppBody, script.arg(kMostBrowserLaunchesPerMinute + 5));
    QTRY_COMPARE_WITH_TIMEOUT(OpenedCount(), kMostBrowserLaunchesPerMinute, 20000);
    // A tab asked for after the last of them shows they have all been handled.
    ScriptResult(frmMain->cppBody, QStringLiteral("setTimeout(function () { location.href = "
                                                  "'/kw730/news.jsp?id=9&tarwin=1'; }, 600); true"));
    QTRY_VERIFY_WITH_TIMEOUT(frmDisMess && frmDisMess->pageControl()->count() == 1, 20000);
    QVERIFY(Idle({frmMain->cppBody}));
    QCOMPARE(OpenedCount(), kMostBrowserLaunchesPerMinute);
}

void TrustBoundaryTest::popupLoopStaysBounded()
{
    const QPointer<TfrmIE> flood = popupOn(root("service") + "/trust-test/flood.html");
    QVERIFY(flood);
    // Every request of the page, granted or refused, is a navigation of its browser.
    int requests = 0;
    int requestsAtLimit = -1;
    connect(flood->ie1, &TCppWebBrowser::OnBeforeNavigate2, this,
            [&requests](const QString &, bool &) { ++requests; });
    int most = 0;
    QSet<qint64> renderers;
    // The page opens pop-ups for as long as it is shown: the count is sampled at every turn of the
    // event loop until the page has asked 50 times more after the limit was reached.
    const auto sample = [&] {
        most = qMax(most, int(LivePopups().size()));
        for (TfrmIE *form : LivePopups()) {
            if (form->ie1->rendererPid() > 0)
                renderers.insert(form->ie1->rendererPid());
        }
        if (requestsAtLimit < 0 && most >= kMostPopupWindows)
            requestsAtLimit = requests;
        return requestsAtLimit >= 0 && requests - requestsAtLimit >= 50;
    };
    QVERIFY2(QTest::qWaitFor(sample, 40000),
             qPrintable(QStringLiteral("most %1, requests %2").arg(most).arg(requests)));
    qInfo("most plain pop-ups at once: %d, renderer processes seen: %lld", most, qint64(renderers.size()));
    QVERIFY(flood);
    QCOMPARE(most, kMostPopupWindows);
    // Same-site pages share their renderer: the windows do not multiply processes.
    QVERIFY(renderers.size() <= 4);
    // The client still answers: a page's script and a command of the main window go through.
    QCOMPARE(ScriptResult(frmMain->cppBody, QStringLiteral("6 * 7")).toInt(), 42);
    ScriptResult(frmMain->cppBody, QStringLiteral("location.href = '/kw730/news.jsp?id=3&tarwin=1'; true"));
    QTRY_VERIFY_WITH_TIMEOUT(frmDisMess && frmDisMess->pageControl()->count() == 1, 20000);
}

int main(int argc, char **argv)
{
    QTemporaryDir tools;
    g_openedLog = InstallBrowserStandIn(tools);
    if (g_openedLog.isEmpty())
        return 1;
    return RunEngineTest<TrustBoundaryTest>(argc, argv);
}

#include "tst_trustboundary.moc"
