#include "AppWindows.h"
#include "ClientStartup.h"
#include "EngineTestMain.h"

#include <QApplication>
#include <QTest>

// The windows of a client start, in-process.
class WindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void eightWindowsInOrder();
    void searchesFindTheLastOfExactlyThatClass();
    void freedWindowsLeaveTheList();
};

void WindowsTest::eightWindowsInOrder()
{
    CreateClientWindows();
    QStringList classes;
    for (QWidget *window : AppWindows())
        classes << window->metaObject()->className();
    QCOMPARE(classes, QStringList({"TfrmLogin", "TfrmMain", "TfrmDisMess", "TfrmDisVideo", "TfrmPopMess",
                                   "TfrmIEOne", "TfrmPopIe", "TfrmIE"}));
    for (QWidget *window : AppWindows()) {
        QVERIFY(window->isWindow());
        QVERIFY2(!window->isVisible(), window->metaObject()->className());
    }
}

void WindowsTest::searchesFindTheLastOfExactlyThatClass()
{
    QWidget *first = LastAppWindowOfClass("TfrmIE");
    QVERIFY(first);
    QWidget *second = CreateForm<QWidget>();
    QCOMPARE(LastAppWindowOfClass("TfrmIE"), first);
    QCOMPARE(LastAppWindowOfClass("QWidget"), second);
    QVERIFY(!LastAppWindowOfClass("TfrmI")); // exact names only
    second->deleteLater();
}

void WindowsTest::freedWindowsLeaveTheList()
{
    const int before = AppWindows().size();
    auto *popup = CreateForm<QWidget>();
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->show();
    QCOMPARE(AppWindows().size(), before + 1);
    popup->close();
    QTRY_COMPARE(AppWindows().size(), before);
}

int main(int argc, char *argv[])
{
    return RunEngineTest<WindowsTest>(argc, argv, DestroyAppWindows);
}

#include "tst_windows.moc"
