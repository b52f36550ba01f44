#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "EngineTestMain.h"
#include "MessageBoxes.h"
#include "Popie.h"
#include "Popmess.h"
#include "Unit_ie.h"
#include "Unit_ieone.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

// The pop-up windows themselves: their furniture, their laziness and how they free themselves.
// Command URLs here point at a closed loopback port: they are refused before any request is
// made, so no server is needed.
class PopupWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void spareWindowsHaveNoPage();
    void formFrames_data();
    void formFrames();
    void framedPopupFurniture();
    void closeButtonFreesWindowAndPage();
    void closeDuringOwnHandlerIsDeferred();
    void spriteStandsAboveTaskBar();

private:
    static void loadBlank(TCppWebBrowser *browser);
    static void sendCommand(TCppWebBrowser *browser, const QString &query);

    QList<MessageBoxRequest> m_boxes;
};

void PopupWindowsTest::loadBlank(TCppWebBrowser *browser)
{
    browser->Navigate(QStringLiteral("about:blank"));
    QVERIFY(WaitWhileBusy(browser));
}

void PopupWindowsTest::sendCommand(TCppWebBrowser *browser, const QString &query)
{
    browser->runScript(QStringLiteral("location.href = 'http://127.0.0.1:9/cmd.html?x=1%1'").arg(query));
}

void PopupWindowsTest::init()
{
    m_boxes.clear();
    SetMessageBoxHandler([this](const MessageBoxRequest &request) {
        m_boxes << request;
        return BoxAnswer::Ok;
    });
}

void PopupWindowsTest::cleanup()
{
    SetMessageBoxHandler({});
    DestroyAppWindows();
}

void PopupWindowsTest::spareWindowsHaveNoPage()
{
    auto *ie = CreateForm<TfrmIE>();
    auto *ieOne = CreateForm<TfrmIEOne>();
    auto *popIe = CreateForm<TfrmPopIe>();
    auto *popMess = CreateForm<TfrmPopMess>();
    // Runs after everything the forms left for the event loop.
    bool settled = false;
    QTimer::singleShot(0, this, [&settled] { settled = true; });
    QTRY_VERIFY(settled);
    QVERIFY(!ie->ie1->hasPage());
    QVERIFY(!ieOne->ie1->hasPage());
    QVERIFY(!popIe->ie1->hasPage());
    QVERIFY(!popMess->web1->hasPage());
    QVERIFY(!popMess->webTime->hasPage());

    // Showing the sprite gives its page browser a page, never the small one outside its area.
    popMess->show();
    QVERIFY(QTest::qWaitForWindowExposed(popMess));
    QVERIFY(popMess->web1->hasPage());
    QVERIFY(!popMess->webTime->hasPage());
}

void PopupWindowsTest::formFrames_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("frameless");

    QTest::newRow("plain pop-up") << "TfrmIE" << QSize(551, 413) << QStringLiteral("Telvar投资") << true;
    QTest::newRow("framed pop-up") << "TfrmIEOne" << QSize(636, 390) << QStringLiteral("Telvar投资") << true;
    QTest::newRow("link pop-up") << "TfrmPopIe" << QSize(463, 377) << QStringLiteral("弹出窗口") << true;
    QTest::newRow("sprite") << "TfrmPopMess" << QSize(292, 190) << QStringLiteral("消息精灵") << false;
}

void PopupWindowsTest::formFrames()
{
    QFETCH(QString, form);
    QFETCH(QSize, size);
    QFETCH(QString, caption);
    QFETCH(bool, frameless);

    QWidget *window = nullptr;
    if (form == QLatin1String("TfrmIE"))
        window = CreateForm<TfrmIE>();
    else if (form == QLatin1String("TfrmIEOne"))
        window = CreateForm<TfrmIEOne>();
    else if (form == QLatin1String("TfrmPopIe"))
        window = CreateForm<TfrmPopIe>();
    else
        window = CreateForm<TfrmPopMess>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QCOMPARE(QString::fromLatin1(window->metaObject()->className()), form);
    QCOMPARE(window->size(), size);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->windowFlags().testFlag(Qt::FramelessWindowHint), frameless);
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    if (frameless)
        QCOMPARE(window->frameGeometry().size(), size);
    else
        QVERIFY(window->frameGeometry().height() > size.height());
}

void PopupWindowsTest::framedPopupFurniture()
{
    auto *form = CreateForm<TfrmIEOne>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    QCOMPARE(form->ImageBack->geometry(), QRect(0, 0, 636, 390));
    QCOMPARE(form->ImageBack->pixmap().size(), QSize(636, 390)); // the picture is in the resources
    QCOMPARE(form->LabelTitle->geometry(), QRect(32, 8, 169, 13));
    QCOMPARE(form->LabelTitle->text(), QStringLiteral("标题"));
    QCOMPARE(form->Panel1->geometry(), QRect(6, 27, 626, 355));
    QCOMPARE(QRect(form->ie1->mapTo(form, QPoint(0, 0)), form->ie1->size()), QRect(7, 28, 624, 353));
    QCOMPARE(form->BitBtn1->geometry(), QRect(611, 3, 17, 18));
    QVERIFY(!form->BitBtn1->icon().isNull());

    // As the login window opens it: in the middle of the screen.
    form->centreOnScreen();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QTRY_COMPARE(form->geometry().topLeft(), QPoint((screen.width() - 636) / 2, (screen.height() - 390) / 2));

    // The background follows the window; the rest keeps its place.
    form->resize(700, 420);
    QCOMPARE(form->ImageBack->geometry(), QRect(0, 0, 700, 420));
    QCOMPARE(form->BitBtn1->geometry(), QRect(611, 3, 17, 18));
}

void PopupWindowsTest::closeButtonFreesWindowAndPage()
{
    QPointer<TfrmIEOne> form = CreateForm<TfrmIEOne>();
    loadBlank(form->ie1);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->ie1->hasPage());

    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    QVERIFY(form); // deleted later, not inside the click
    QVERIFY(!form->isVisible());
    QVERIFY(!form->ie1->hasPage()); // the page goes at once
    QTRY_VERIFY(form.isNull());
    QVERIFY(!AppWindows().contains(nullptr));
    QCOMPARE(LastAppWindowOfClass("TfrmIEOne"), nullptr);
}

void PopupWindowsTest::closeDuringOwnHandlerIsDeferred()
{
    QPointer<TfrmIE> form = CreateForm<TfrmIE>();
    loadBlank(form->ie1);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    // While the alert is up, the window is closed from outside and events (deferred deletions
    // included) run for a while, as a user takes time to answer.
    bool aliveDuringAlert = false;
    bool hiddenDuringAlert = false;
    SetMessageBoxHandler([&](const MessageBoxRequest &request) {
        m_boxes << request;
        QTimer::singleShot(0, form.data(), [&form] { form->close(); });
        QTest::qWait(300); // the user's pause before answering, not a wait for anything
        aliveDuringAlert = !form.isNull();
        hiddenDuringAlert = form && !form->isVisible();
        return BoxAnswer::Ok;
    });
    sendCommand(form->ie1, QStringLiteral("&cpp_alert=wait&cpp_login_ok=1"));
    QTRY_COMPARE(m_boxes.size(), 1);
    QVERIFY(aliveDuringAlert);
    QVERIFY(hiddenDuringAlert);
    QTRY_VERIFY(form.isNull());
}

void PopupWindowsTest::spriteStandsAboveTaskBar()
{
    auto *sprite = CreateForm<TfrmPopMess>();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    sprite->show();
    QVERIFY(QTest::qWaitForWindowExposed(sprite));
    QTRY_COMPARE(sprite->frameGeometry().topLeft(), QPoint(screen.width() - 302, screen.height() - 230));
    QCOMPARE(sprite->size(), QSize(292, 190));
}

SORVANE_ENGINE_TEST_MAIN(PopupWindowsTest)

#include "tst_popupwindows.moc"
