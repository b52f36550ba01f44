// Runs the upgrade procedure without its window, as a second upgrader beside a test's would:
// "upgrade_runner CLIENT_PATH DOWNLOAD_BASE". Prompts go to standard output; exit 0 when it replaced
// the program.
#include "Prompt.h"
#include "UpgradeProcedure.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

class NoWindow : public UpgradeView
{
public:
    void setFirstLine(const QString &, bool) override {}
    void setSecondLine(const QString &, bool) override {}
    void setProgressLine(const QString &, bool) override {}
    void processPendingEvents() override { QCoreApplication::processEvents(); }
    void closeWindow() override {}
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    SetPromptHandler([](const PromptRequest &request) { std::printf("%s\n", qPrintable(request.text)); });
    UpgradeSetup setup;
    setup.arguments = QStringList{QString::fromLocal8Bit(argv[1])};
    setup.ownPath = QCoreApplication::applicationFilePath();
    setup.downloadBase = QString::fromLocal8Bit(argv[2]);
    setup.waitAfterStopMs = 0;
    setup.furtherWaitMs = 0;
    setup.waitAfterCopyMs = 0;
    NoWindow view;
    UpgradeProcedure procedure(setup, view);
    return procedure.run().replaced ? 0 : 1;
}
