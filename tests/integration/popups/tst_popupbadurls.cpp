#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "EngineTestMain.h"
#include "MessageBoxes.h"
#include "PageDriver.h"
#include "PortalProcess.h"
#include "Unit_ie.h"

#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <memory>

// Command URLs a page may send that no sane page would: a megabyte long, or with every command key
// at once. Navigated by a real page in a real pop-up window.
class PopupBadUrlsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void hostileCommandUrl_data();
    void hostileCommandUrl();

private:
    QString url(const QString &path) const { return m_portal->baseUrl() + path; }

    std::unique_ptr<PortalProcess> m_portal;
    QList<MessageBoxRequest> m_boxes;
};

void PopupBadUrlsTest::initTestCase()
{
    m_portal = std::make_unique<PortalProcess>();
    QVERIFY2(m_portal->start(), qPrintable(m_portal->errorString()));
}

void PopupBadUrlsTest::init()
{
    m_boxes.clear();
    SetMessageBoxHandler([this](const MessageBoxRequest &request) {
        m_boxes << request;
        return BoxAnswer::Ok;
    });
}

void PopupBadUrlsTest::cleanup()
{
    SetMessageBoxHandler({});
    DestroyAppWindows();
}

void PopupBadUrlsTest::hostileCommandUrl_data()
{
    QTest::addColumn<QString>("command");   // appended to the page's own address
    QTest::addColumn<QString>("alert");     // the message box text, empty for none
    QTest::addColumn<bool>("closesSource"); // the window whose page sent it is gone
    QTest::addColumn<QString>(
        "openedPage"); // what a newly opened window shows (or its address), empty for none

    const QString mib(1 << 20, QLatin1Char('a'));
    const QString target = QStringLiteral("%TARGET%");
    QTest::newRow("every key at once") << "?cpp_alert=%u4F60%u597D&cpp_abort=1&cpp_login_ok=1&cpp_close=1&"
                                          "cpp_open_win=1&cpp_target=t&cpp_left=Center"
                                          "&cpp_width=300&cpp_height=200&cpp_BorderStyle=x&cpp_url=" +
                                              target
                                       << "\n你好\n"
                                       << true << "Target page";
    QTest::newRow("1 MiB before the alert") << "?pad=" + mib + "&cpp_alert=big"
                                            << "\nbig\n"
                                            << false << QString();
    QTest::newRow("1 MiB alert text") << "?cpp_alert=" + mib << "\n" + mib + "\n" << false << QString();
    QTest::newRow("1 MiB address to open") << "?cpp_open_win=1&cpp_url=" + target + "%3Fpad%3D" + mib
                                           << QString() << false << "%ROOT%/test/target.html?pad=" + mib;
    QTest::newRow("1 MiB of unknown parameters") << "?cpp_nothing=" + mib << QString() << false << QString();
}

void PopupBadUrlsTest::hostileCommandUrl()
{
    QFETCH(QString, command);
    QFETCH(QString, alert);
    QFETCH(bool, closesSource);
    QFETCH(QString, openedPage);
    openedPage.replace(QStringLiteral("%ROOT%"), m_portal->baseUrl());
    command.replace(QStringLiteral("%TARGET%"),
                    QString::fromLatin1(QUrl::toPercentEncoding(url(QStringLiteral("/test/target.html")))));

    QPointer<TfrmIE> source = CreateForm<TfrmIE>();
    source->show();
    QVERIFY(QTest::qWaitForWindowExposed(source));
    const QString page = url(QStringLiteral("/test/page.html"));
    QVERIFY(LoadPage(source->ie1, page));
    QSignalSpy ended(source->ie1, &TCppWebBrowser::OnDownloadComplete);
    source->ie1->runScript(QStringLiteral("location.href = location.href + '%1'").arg(command));

    if (!alert.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, 15000);
        QCOMPARE(m_boxes.first().text.size(), alert.size());
        QVERIFY(m_boxes.first().text == alert);
    }
    TfrmIE *opened = nullptr;
    if (!openedPage.isEmpty()) {
        const auto findOpened = [&source] {
            for (QWidget *window : AppWindows()) {
                auto *form = qobject_cast<TfrmIE *>(window);
                if (form && form != source.data() && !form->isClosing())
                    return form;
            }
            return static_cast<TfrmIE *>(nullptr);
        };
        QTRY_VERIFY_WITH_TIMEOUT((opened = findOpened()), 15000);
        if (openedPage.size() > (1 << 20)) {
            // The whole address reaches the new window (the portal itself refuses a request line that long).
            QTRY_COMPARE_WITH_TIMEOUT(opened->ie1->LocationURL(), openedPage, 15000);
        } else {
            QVERIFY2(WaitForBodyText(opened->ie1, openedPage),
                     qPrintable(opened->ie1->LocationURL().left(300)));
        }
    }
    if (closesSource) {
        QTRY_VERIFY_WITH_TIMEOUT(source.isNull(), 15000);
        QCOMPARE(opened->TargetName(), QStringLiteral("t"));
        QCOMPARE(opened->size(), QSize(300, 200));
        return;
    }
    QVERIFY(source);
    if (alert.isEmpty() && openedPage.isEmpty()) {
        // Without a command the long address is simply navigated to.
        QTRY_VERIFY2_WITH_TIMEOUT(source->ie1->LocationURL().size() > (1 << 20),
                                  qPrintable(QStringLiteral("%1 characters: %2")
                                                 .arg(source->ie1->LocationURL().size())
                                                 .arg(source->ie1->LocationURL().left(200))),
                                  15000);
    } else {
        // The command was taken, the page stayed: the refused navigation ends as a load of its own.
        QTRY_VERIFY_WITH_TIMEOUT(ended.count() >= 1, 15000);
        QCOMPARE(source->ie1->LocationURL(), page);
    }
    QVERIFY(!source->ie1->Busy() || WaitWhileBusy(source->ie1));
    // And the window still works.
    QVERIFY(LoadPage(source->ie1, url(QStringLiteral("/test/target.html"))));
    QVERIFY(WaitForBodyText(source->ie1, QStringLiteral("Target page")));
}

SORVANE_ENGINE_TEST_MAIN(PopupBadUrlsTest)

#include "tst_popupbadurls.moc"
