#include "CertificateTrust.h"
#include "TSDIAppForm.h"

#include "platform/displayplatform.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    platform::PrepareDisplayPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvane金融终端 在线升级"));
    Q_INIT_RESOURCE(resources);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/app_icon.png")));
    // Buttons of the prompts read as on a Chinese system.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    TrustAuthoritiesFromEnvironment();
    TSDIAppForm SDIAppForm(UpgradeProcedure::programSetup());
    SDIAppForm.showCentred();
    QApplication::exec();
    return 0;
}
