#include "ClientStartup.h"

#include "AppWindows.h"
#include "BrowserEngine.h"
#include "BrowserWait.h"
#include "MessageBoxes.h"

#include "client/login/Flogin.h"
#include "client/mainwindow/Dismess.h"
#include "client/mainwindow/Disvideo.h"
#include "client/mainwindow/Main.h"
#include "client/popups/Popie.h"
#include "client/popups/Popmess.h"
#include "client/popups/Unit_ie.h"
#include "client/popups/Unit_ieone.h"
#include "client/widgets/PictureBox.h"
#include "platform/displayplatform.h"
#include "platform/singleinstance.h"
#include "platform/terminationsignals.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace {

// Message box buttons read as on a Chinese system.
void installTranslations(QApplication &app)
{
    auto *qtbase = new QTranslator(&app);
    if (qtbase->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtbase);
}

} // namespace

void CreateClientWindows()
{
    frmLogin = CreateForm<TfrmLogin>();
    frmMain = CreateForm<TfrmMain>();
    frmDisMess = CreateForm<TfrmDisMess>();
    frmDisVideo = CreateForm<TfrmDisVideo>();
    frmPopMess = CreateForm<TfrmPopMess>();
    frmIEOne = CreateForm<TfrmIEOne>();
    frmPopIe = CreateForm<TfrmPopIe>();
    frmIE = CreateForm<TfrmIE>();
}

int RunClient(int argc, char *argv[])
{
    platform::PrepareDisplayPlatform();
    BrowserEngine::prepareProcessModel();
    QApplication app(argc, argv);
    // The client ends when its login window closes, not when its last visible window does.
    QApplication::setQuitOnLastWindowClosed(false);
    installTranslations(app);

    const platform::SingleInstanceLock instance(QStringLiteral("kw730"));
    if (instance.unguarded())
        std::fprintf(stderr, "clikw730: running without the single-instance guard: %s: %s\n",
                     qPrintable(instance.path()), qPrintable(instance.error()));
    if (!instance.acquired()) {
        ShowMessageBox({QStringLiteral("Telvar金融终端已经运行！"), QStringLiteral("提示信息"),
                        BoxButtons::Ok, BoxIcon::Error});
        return 0;
    }

    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    // Every window, pop-ups included, carries the program's icon; the menu entry is found by name.
    QApplication::setWindowIcon(QIcon(ClientPicture(QStringLiteral("app_icon.png"))));
    QGuiApplication::setDesktopFileName(QStringLiteral("sorvane"));
    platform::QuitOnTerminationSignals(&app);
    WatchForQuit();
    const BrowserEngine engine;
    CreateClientWindows();
    frmLogin->show();
    QApplication::exec();
    DestroyAppWindows();
    return 0;
}
