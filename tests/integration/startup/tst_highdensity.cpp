#include "AppWindows.h"
#include "ClientStartup.h"
#include "EngineTestMain.h"

#include "client/login/Flogin.h"
#include "client/mainwindow/Main.h"
#include "client/popups/Unit_ieone.h"
#include "client/widgets/PictureBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>

// The client's windows on a screen at twice the density: sizes stay in logical pixels, pictures
// are the drawings made at twice the size.
class HighDensityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void logicalGeometryAndSharpArtwork();
};

namespace {

// Drawn at twice the size for its logical size: device pixels are twice the logical ones.
void verifySharp(const QPixmap &pixmap, const QSize &logical, const char *what)
{
    QVERIFY2(!pixmap.isNull(), what);
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QCOMPARE(pixmap.size(), logical * 2);
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), logical);
}

} // namespace

void HighDensityTest::initTestCase()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    CreateClientWindows();
}

void HighDensityTest::logicalGeometryAndSharpArtwork()
{
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    QCOMPARE(frmMain->windowHandle()->devicePixelRatio(), 2.0);
    QCOMPARE(frmMain->size(), QSize(1004, 668));
    QCOMPARE(frmMain->Panelmenu->geometry(), QRect(0, 0, 1004, 28));
    QCOMPARE(frmMain->PanelHead->geometry(), QRect(0, 28, 1004, 73));
    QCOMPARE(frmMain->PanelBody->geometry(), QRect(0, 101, 1004, 567));
    QCOMPARE(frmMain->BitBtn1->geometry(), QRect(885, 7, 22, 13));
    QCOMPARE(frmMain->Image4->geometry(), QRect(628, 5, 67, 19));
    verifySharp(frmMain->Image4->pixmap(), QSize(67, 19), "personal page picture");
    verifySharp(frmMain->Image2->pixmap(), QSize(832, 26), "title bar background");
    verifySharp(frmMain->BitBtn1->icon().pixmap(QSize(22, 13)), QSize(22, 13), "close button");

    frmLogin->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmLogin));
    QCOMPARE(frmLogin->size(), QSize(637, 390));
    verifySharp(frmLogin->loginback->pixmap(), QSize(648, 400), "login background");

    // The framed pop-up and its picture frame.
    frmIEOne->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmIEOne));
    QCOMPARE(frmIEOne->size(), QSize(636, 390));
    verifySharp(frmIEOne->ImageBack->pixmap(), QSize(636, 390), "pop-up background");
}

int main(int argc, char *argv[])
{
    // A screen at twice the density, as a 2x desktop setting gives it.
    qputenv("QT_SCALE_FACTOR", "2");
    return RunEngineTest<HighDensityTest>(argc, argv, DestroyAppWindows);
}

#include "tst_highdensity.moc"
