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
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

// Where the stand-in for the system's browser writes the addresses it is asked to open.
QString g_openedLog;
QElapsedTimer g_clock;

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
    void mainWindowCommandsOnlyFromTheService_data();
    void mainWindowCommandsOnlyFromTheService();
    void scriptGeometryOnlyFromTheService_data();
    void scriptGeometryOnlyFromTheService();
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
    // When the cases before started the system's browser (on g_clock).
    QList<qint64> m_launches;
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
    QTest::addColumn<QString>("page"); // where the pop-up's page comes from
    // The frames inside it, outermost first; the innermost commands. Empty: the page commands.
    QTest::addColumn<QString>("frames");
    QTest::addColumn<QString>("redirects"); // whose redirects carry the command, first hop first
    QTest::addColumn<QString>("how");       // how the commanding document navigates (page.html)
    QTest::addColumn<bool>("obeyed");
    const auto row = [](const char *name, const char *page, const char *frames, const char *redirects,
                        const char *how,
                        bool obeyed) { QTest::newRow(name) << page << frames << redirects << how << obeyed; };
    row("service page", "service", "", "", "", true);
    row("same-origin frame", "service", "service", "", "", true);
    row("redirect from the service", "service", "", "service", "", true);
    row("service frame sends the top", "service", "service", "", "top", true);
    row("service page steps and replaces", "service", "", "", "bounce", true);
    row("service refresh", "service", "", "", "refresh", true);
    row("service redirects over two hops", "service", "", "service,service", "", true);
    row("other-origin frame", "service", "other", "", "", false);
    row("other-origin page", "other", "", "", "", false);
    row("service frame in an other-origin page", "other", "service", "", "", false);
    row("redirect from elsewhere", "service", "", "other", "", false);
    // A step to the service replaced at once by the command: the step never committed.
    row("other page steps and replaces", "other", "", "", "bounce", false);
    row("other page refreshes", "other", "", "", "refresh", false);
    row("other page replaces later", "other", "", "", "later", false);
    // The service's open redirect does not launder who started the chain.
    row("service redirect started elsewhere", "other", "", "service", "", false);
    row("hops from elsewhere through the service", "other", "", "other,service", "", false);
    row("other frame sends the top", "service", "other", "", "top", false);
    row("other frame in a service frame sends the top", "service", "service,other", "", "top", false);
    row("other frame replaces itself later", "service", "other", "", "later", false);
    // The page's own next load ends without a document (204) while its frame commands.
    row("other frame while the page leaves", "service", "other", "", "later+leave", false);
    row("other page opens a window", "other", "", "", "open", false);
    row("other page sends a blank window on", "other", "", "", "blank", false);
}

void TrustBoundaryTest::commandsOnlyFromTheService()
{
    QFETCH(QString, page);
    QFETCH(QString, frames);
    QFETCH(QString, redirects);
    QFETCH(QString, how);
    QFETCH(bool, obeyed);
    static int row = 0;
    const QString mark = QStringLiteral("row%1x").arg(++row);
    QString link = everyCommand(mark);
    const QStringList hops = redirects.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (auto hop = hops.crbegin(); hop != hops.crend(); ++hop)
        link = root(*hop) + "/__redirect?to=" + Encoded(link);
    const QStringList nesting = frames.split(QLatin1Char(','), Qt::SkipEmptyParts);
    const QString commanding = nesting.isEmpty() ? page : nesting.last();
    QString shown;
    if (how == QLatin1String("refresh")) {
        shown = root(commanding) + "/trust-test/refresh.html?mark=" + mark + "&cmd=" + Encoded(link);
    } else {
        shown = follower(commanding, link, mark) + "&how=" + how.section(QLatin1Char('+'), 0, 0);
        if (how == QLatin1String("top"))
            shown += QStringLiteral("&target=_top");
        if (how == QLatin1String("bounce"))
            shown += "&via=" + Encoded(root("service") + "/trust-test/opened.html?mark=via");
    }
    for (int i = int(nesting.size()) - 1; i >= 0; --i) {
        const QString holder = i == 0 ? page : nesting.at(i - 1);
        QString outer = root(holder) + "/trust-test/page.html?mark=top&frame=" + Encoded(shown);
        if (i == 0 && how.endsWith(QLatin1String("+leave")))
            outer += "&leave=" + Encoded(root("service") + "/__beacon?page=left");
        shown = outer;
    }
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
    QVERIFY(popup->ie1->LocationURL().contains(QLatin1String("/trust-test/")));
    QCOMPARE(requestsWith("/opened.html\tmark=" + mark), 0);
    QCOMPARE(requestsWith("/kw730/cmd.jsp\t"), 0);
    QCOMPARE(OpenedCount(), 0);
    QVERIFY(frmMain->isVisible());
    QVERIFY(frmMain->cppBody->LocationURL().contains(QLatin1String("index02")));
}

void TrustBoundaryTest::mainWindowCommandsOnlyFromTheService_data()
{
    QTest::addColumn<QString>("area");  // head or body: where the commanding page is shown
    QTest::addColumn<QString>("page");  // the origin of that page
    QTest::addColumn<QString>("frame"); // the origin of the frame in it that acts; empty: the page
    QTest::addColumn<QString>("how");   // how it navigates (page.html)
    QTest::addColumn<QString>(
        "effect"); // tab, skin, webhome (body commands) or launch (a window nobody takes)
    QTest::addColumn<bool>("obeyed");
    const auto row = [](const char *name, const char *area, const char *page, const char *frame,
                        const char *how, const char *effect, bool obeyed) {
        QTest::newRow(name) << area << page << frame << how << effect << obeyed;
    };
    // What the head opens is the body's own navigation, judged by the head page that opened it.
    row("service head opens a tab", "head", "service", "", "open", "tab", true);
    row("other frame in the head opens a tab", "head", "service", "other", "open", "tab", false);
    row("other page in the head sends a blank window on", "head", "other", "", "blank", "tab", false);
    row("service body page opens a window", "body", "service", "", "open", "launch", true);
    row("other body page opens a window", "body", "other", "", "open", "launch", false);
    row("other body page steps and replaces a skin", "body", "other", "", "bounce", "skin", false);
    row("other frame in the body sends the top home", "body", "service", "other", "top", "webhome", false);
}

void TrustBoundaryTest::mainWindowCommandsOnlyFromTheService()
{
    QFETCH(QString, area);
    QFETCH(QString, page);
    QFETCH(QString, frame);
    QFETCH(QString, how);
    QFETCH(QString, effect);
    QFETCH(bool, obeyed);
    static int row = 0;
    const QString mark = QStringLiteral("main%1x").arg(++row);
    const QString service = root("service");
    QString link;
    if (effect == QLatin1String("tab"))
        link = service + "/kw730/news.jsp?id=" + mark + "&tarwin=1";
    else if (effect == QLatin1String("skin"))
        link = service + "/kw730/skin.jsp?action=skin&skin=" + mark;
    else if (effect == QLatin1String("webhome"))
        link = service +
               "/kw730/cmd.jsp?action=webhome&linkinfo=" + Encoded(service + "/index.html?home=" + mark);
    else
        link = service + "/index.html?launch=" + mark;
    QString shown = follower(frame.isEmpty() ? page : frame, link, mark) + "&how=" + how;
    if (how == QLatin1String("top"))
        shown += QStringLiteral("&target=_top");
    if (how == QLatin1String("bounce"))
        shown += "&via=" + Encoded(service + "/trust-test/opened.html?mark=via");
    if (!frame.isEmpty())
        shown = root(page) + "/trust-test/page.html?mark=top&frame=" + Encoded(shown);
    QFile settings(m_client->settingsPath());
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray before = settings.readAll();
    settings.close();
    (area == QLatin1String("head") ? frmMain->cppHead : frmMain->cppBody)->Navigate(shown);

    const auto tabShown = [&mark] {
        return frmDisMess && frmDisMess->pageControl()->count() == 1 &&
               frmDisMess->tabBrowser(0)->LocationURL().contains(mark);
    };
    if (obeyed) {
        if (effect == QLatin1String("tab"))
            QTRY_VERIFY_WITH_TIMEOUT(tabShown(), 20000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(OpenedCount(), 1, 20000);
        if (OpenedCount() == 1)
            m_launches.append(g_clock.elapsed());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(requestsWith("trust-followed&mark=" + mark) == 1, 20000);
    sentinel(mark + "-after");
    QVERIFY(!frmDisMess || frmDisMess->pageControl()->count() == 0);
    QCOMPARE(OpenedCount(), 0);
    QCOMPARE(requestsWith("/kw730/skin.jsp\t"), 0);
    QCOMPARE(requestsWith("/kw730/news.jsp\t"), 0);
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), before);
    QVERIFY(frmMain->isVisible());
}

void TrustBoundaryTest::scriptGeometryOnlyFromTheService_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("obeyed");
    QTest::newRow("service page moves its window") << "service"
                                                   << ""
                                                   << "move" << true;
    QTest::newRow("other page moves its window") << "other"
                                                 << ""
                                                 << "move" << false;
    QTest::newRow("other frame moves the window") << "service"
                                                  << "other"
                                                  << "move" << false;
    QTest::newRow("other frame forges a report") << "service"
                                                 << "other"
                                                 << "forge" << false;
}

void TrustBoundaryTest::scriptGeometryOnlyFromTheService()
{
    QFETCH(QString, page);
    QFETCH(QString, frame);
    QFETCH(QString, how);
    QFETCH(bool, obeyed);
    static int row = 0;
    const QString mark = QStringLiteral("geometry%1x").arg(++row);
    QString shown = follower(frame.isEmpty() ? page : frame, QStringLiteral("#"), mark) + "&how=" + how;
    if (!frame.isEmpty())
        shown = root(page) + "/trust-test/page.html?mark=top&frame=" + Encoded(shown);
    const QPointer<TfrmIE> popup = popupOn(shown);
    QSignalSpy lefts(popup->ie1, &TCppWebBrowser::OnWindowSetLeft);
    QSignalSpy widths(popup->ie1, &TCppWebBrowser::OnWindowSetWidth);
    if (obeyed) {
        QTRY_COMPARE_WITH_TIMEOUT(widths.size(), 1, 20000);
        QCOMPARE(lefts.constFirst().constFirst().toInt(), 1250);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(requestsWith("trust-followed&mark=" + mark) == 1, 20000);
    // The service's page in the same window then moves it: its report is the only one.
    popup->ie1->Navigate(root("service") + "/trust-test/opened.html?mark=" + mark);
    QTRY_VERIFY_WITH_TIMEOUT(!popup->ie1->Busy() && popup->ie1->LocationURL().contains("opened.html"), 20000);
    popup->ie1->runScript(QStringLiteral("window.moveTo(300, 200)"));
    QTRY_VERIFY_WITH_TIMEOUT(!lefts.isEmpty(), 20000);
    QCOMPARE(lefts.size(), 1);
    QCOMPARE(lefts.constFirst().constFirst().toInt(), 300);
    QCOMPARE(widths.size(), 0);
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
    // Launches of earlier cases count for a minute; none may leave that minute while this runs.
    const auto earlier = [this] {
        return int(std::count_if(m_launches.cbegin(), m_launches.cend(),
                                 [](qint64 at) { return g_clock.elapsed() - at < 60000; }));
    };
    QVERIFY(QTest::qWaitFor(
        [this] {
            return std::none_of(m_launches.cbegin(), m_launches.cend(), [](qint64 at) {
                return g_clock.elapsed() - at > 50000 && g_clock.elapsed() - at < 60000;
            });
        },
        11000));
    const int allowed = kMostBrowserLaunchesPerMinute - earlier();
    // The service asks for its home page again and again; the system's browser starts as often as
    // the limit allows. (A command overtaken by the page's next navigation before its request
    // starts is dropped.)
    const QString script = QStringLiteral(
        "var n = 0; var t = setInterval(function () { location.href = "
        "'/kw730/cmd.jsp?action=webhome&linkinfo='"
        " + location.origin + '/index.html?n=' + n; if (++n == %1) clearInterval(t); }, 250); true");
    ScriptResult(frmMain->cppBody, script.arg(kMostBrowserLaunchesPerMinute + 5));
    QTRY_COMPARE_WITH_TIMEOUT(OpenedCount(), allowed, 20000);
    // A tab asked for after the last of them shows they have all been handled.
    ScriptResult(frmMain->cppBody, QStringLiteral("setTimeout(function () { location.href = "
                                                  "'/kw730/news.jsp?id=9&tarwin=1'; }, 1500); true"));
    QTRY_VERIFY_WITH_TIMEOUT(frmDisMess && frmDisMess->pageControl()->count() == 1, 20000);
    QVERIFY(Idle({frmMain->cppBody}));
    QCOMPARE(OpenedCount(), allowed);
}

void TrustBoundaryTest::popupLoopStaysBounded()
{
    const QPointer<TfrmIE> flood = popupOn(root("service") + "/trust-test/flood.html");
    QVERIFY(flood);
    // Every command the page gets through is handed to its browser's handler, granted or dropped.
    // (Most of its navigations are overtaken by the next before their request names who started
    // them, and are no command at all.)
    int requests = 0;
    int requestsAtLimit = -1;
    connect(flood->ie1, &TCppWebBrowser::OnBeforeNavigate2, this,
            [&requests](const QString &, bool &) { ++requests; });
    int most = 0;
    QSet<qint64> renderers;
    // The page opens pop-ups for as long as it is shown: the count is sampled at every turn of the
    // event loop until the page has asked 10 times more after the limit was reached.
    const auto sample = [&] {
        most = qMax(most, int(LivePopups().size()));
        for (TfrmIE *form : LivePopups()) {
            if (form->ie1->rendererPid() > 0)
                renderers.insert(form->ie1->rendererPid());
        }
        if (requestsAtLimit < 0 && most >= kMostPopupWindows)
            requestsAtLimit = requests;
        return requestsAtLimit >= 0 && requests - requestsAtLimit >= 10;
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
    g_clock.start();
    if (g_openedLog.isEmpty())
        return 1;
    return RunEngineTest<TrustBoundaryTest>(argc, argv);
}

#include "tst_trustboundary.moc"
