#include "AppWindows.h"
#include "BrowserEngine.h"
#include "DocHostHandler.h"
#include "Popie.h"
#include "Popmess.h"
#include "PopupTestPages.h"

#include <QApplication>
#include <QScreen>

#include <memory>

// The link pop-up and the message sprite on the portal's pages.
class LinkPopupTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void openPageShowsCentredWithHostLook();
    void openPageKeepsSizeWhenNotGiven();
    void pageHidesAndBlanks_data();
    void pageHidesAndBlanks();
    void otherCaseIsAPage();
    void refreshReloadsOnce();
    void systemCloseOnlyHides();
    void spriteClosesOnItsCommand();

private:
    QString url(const QString &path) const { return m_portal->baseUrl() + path; }
    TfrmPopIe *openLinkPopup(const QString &path);
    int requestsFor(const QString &path);

    std::unique_ptr<PortalProcess> m_portal;
    TDocHostHandler m_hostHandler;
};

void LinkPopupTest::initTestCase()
{
    m_portal = std::make_unique<PortalProcess>();
    QVERIFY2(m_portal->start(), qPrintable(m_portal->errorString()));
}

void LinkPopupTest::cleanup()
{
    DestroyAppWindows();
}

TfrmPopIe *LinkPopupTest::openLinkPopup(const QString &path)
{
    auto *popup = CreateForm<TfrmPopIe>();
    popup->openPage(url(path), std::nullopt, std::nullopt, false, &m_hostHandler);
    if (!QTest::qWaitForWindowExposed(popup) || !BodyShows(popup->ie1, QStringLiteral("快讯")))
        qWarning("link pop-up did not show %s", qPrintable(path));
    return popup;
}

int LinkPopupTest::requestsFor(const QString &path)
{
    int count = 0;
    for (const QString &line : m_portal->requestLog()) {
        if (line.section(QLatin1Char('\t'), 1, 1) == path)
            ++count;
    }
    return count;
}

void LinkPopupTest::openPageShowsCentredWithHostLook()
{
    auto *popup = CreateForm<TfrmPopIe>();
    popup->openPage(url(QStringLiteral("/popup/linkpop.html")), 500, 300, true, &m_hostHandler);
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QVERIFY(BodyShows(popup->ie1, QStringLiteral("快讯")));
    const QSize desktop = QGuiApplication::primaryScreen()->geometry().size();
    QCOMPARE(popup->geometry(), QRect((desktop.width() - 500) / 2, (desktop.height() - 300) / 2, 500, 300));
    QVERIFY(popup->ie1->hasHostLook());
    QCOMPARE(Evaluate(popup->ie1, QStringLiteral("getComputedStyle(document.body).userSelect")).toString(),
             QStringLiteral("none"));
}

void LinkPopupTest::openPageKeepsSizeWhenNotGiven()
{
    auto *popup = CreateForm<TfrmPopIe>();
    popup->move(50, 60);
    popup->openPage(url(QStringLiteral("/popup/linkpop.html")), std::nullopt, 250, false, nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QCOMPARE(popup->geometry(), QRect(50, 60, 463, 250));
}

void LinkPopupTest::pageHidesAndBlanks_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("link");
    QTest::newRow("action=close") << "/popup/linkpop.html"
                                  << "linkpop-close";
    QTest::newRow("action=min hides, not minimises") << "/popup/linkpop.html"
                                                     << "linkpop-min";
    QTest::newRow("close wins over refresh") << "/popups-test/commands.html"
                                             << "close-then-refresh";
}

void LinkPopupTest::pageHidesAndBlanks()
{
    QFETCH(QString, page);
    QFETCH(QString, link);
    TfrmPopIe *popup = openLinkPopup(QStringLiteral("/popup/linkpop.html"));
    if (page != QLatin1String("/popup/linkpop.html"))
        QVERIFY(LoadPage(popup->ie1, url(page)));
    const int reloadsBefore = requestsFor(page);
    const int commandsBefore = requestsFor(QStringLiteral("/cmd.jsp"));

    ClickElement(popup->ie1, link);
    QTRY_VERIFY(!popup->isVisible());
    QVERIFY(!popup->isMinimized());
    QTRY_COMPARE(popup->ie1->LocationURL(), QStringLiteral("about:blank"));
    QTest::qWait(300);
    QCOMPARE(requestsFor(QStringLiteral("/cmd.jsp")), commandsBefore); // the command page never loaded
    QCOMPARE(requestsFor(page), reloadsBefore);                        // and nothing was reloaded

    // The next open request shows the window again with its new page.
    popup->openPage(url(QStringLiteral("/popup/linkpop.html")), std::nullopt, std::nullopt, false,
                    &m_hostHandler);
    QVERIFY(popup->isVisible());
    QVERIFY(BodyShows(popup->ie1, QStringLiteral("快讯")));
    QTest::qWait(300);
    QCOMPARE(popup->ie1->LocationURL(), url(QStringLiteral("/popup/linkpop.html")));
}

void LinkPopupTest::otherCaseIsAPage()
{
    TfrmPopIe *popup = openLinkPopup(QStringLiteral("/popup/linkpop.html"));
    QVERIFY(LoadPage(popup->ie1, url(QStringLiteral("/popups-test/commands.html"))));
    ClickElement(popup->ie1, QStringLiteral("close-other-case"));
    QVERIFY(BodyShows(popup->ie1, QStringLiteral("COMMAND-NOT-INTERCEPTED")));
    QVERIFY(popup->isVisible());
}

void LinkPopupTest::refreshReloadsOnce()
{
    TfrmPopIe *popup = openLinkPopup(QStringLiteral("/popup/linkpop.html"));
    const int before = requestsFor(QStringLiteral("/popup/linkpop.html"));
    const int commandsBefore = requestsFor(QStringLiteral("/cmd.jsp"));
    ClickElement(popup->ie1, QStringLiteral("linkpop-refresh"));
    QTRY_COMPARE(requestsFor(QStringLiteral("/popup/linkpop.html")), before + 1);
    QVERIFY(WaitWhileBusy(popup->ie1));
    QTest::qWait(300);
    QCOMPARE(requestsFor(QStringLiteral("/popup/linkpop.html")), before + 1);
    QCOMPARE(requestsFor(QStringLiteral("/cmd.jsp")), commandsBefore);
    QCOMPARE(popup->ie1->LocationURL(), url(QStringLiteral("/popup/linkpop.html")));
    QVERIFY(popup->isVisible());
}

void LinkPopupTest::systemCloseOnlyHides()
{
    QPointer<TfrmPopIe> popup = openLinkPopup(QStringLiteral("/popup/linkpop.html"));
    QVERIFY(popup->close());
    QTest::qWait(200);
    QVERIFY(popup);
    QVERIFY(!popup->isVisible());
    QVERIFY(popup->ie1->hasPage());
}

void LinkPopupTest::spriteClosesOnItsCommand()
{
    auto *sprite = CreateForm<TfrmPopMess>();
    QVERIFY(LoadPage(sprite->web1, url(QStringLiteral("/popup/sprite.html"))));
    sprite->show();
    QVERIFY(QTest::qWaitForWindowExposed(sprite));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QTRY_COMPARE(sprite->frameGeometry().topLeft(), QPoint(screen.width() - 302, screen.height() - 230));
    QCOMPARE(sprite->size(), QSize(292, 190));

    ClickElement(sprite->web1, QStringLiteral("sprite-close-text"));
    QTRY_VERIFY(!sprite->isVisible());
    QTest::qWait(300);
    QCOMPARE(sprite->web1->LocationURL(), url(QStringLiteral("/popup/sprite.html")));
    QVERIFY(!sprite->webTime->hasPage());
    QVERIFY(AppWindows().contains(sprite)); // hidden, not freed
}

int main(int argc, char **argv)
{
    BrowserEngine::prepareProcessModel();
    QApplication app(argc, argv);
    BrowserEngine engine;
    LinkPopupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_linkpopup.moc"
