#pragma once

#include "UpgradeProcedure.h"

#include <QMainWindow>

class QAction;
class QLabel;

// The upgrader's only window: two status lines, a small menu, a status bar for menu hints.
// Its first activation runs the upgrade.
class TSDIAppForm : public QMainWindow, public UpgradeView
{
    Q_OBJECT
public:
    explicit TSDIAppForm(UpgradeSetup setup, QWidget *parent = nullptr);

    QLabel *ProDownMess = nullptr;
    QLabel *ProDownMess2 = nullptr;
    QLabel *ProDownProgress = nullptr; // bytes received while the download runs
    QAction *atUpProm = nullptr;
    QAction *FileExit1 = nullptr;
    QAction *HelpAbout1 = nullptr;

    bool upgradeStarted() const { return m_started; }
    const UpgradeResult &lastResult() const { return m_result; }

    // Shows the window centred on its screen and asks for it to become active.
    void showCentred();

    void setFirstLine(const QString &text, bool visible) override;
    void setSecondLine(const QString &text, bool visible) override;
    void setProgressLine(const QString &text, bool visible) override;
    void processPendingEvents() override;
    void closeWindow() override;

signals:
    void upgradeFinished();

public slots:
    void atUpPromExecute();
    void FileExit1Execute();
    void HelpAbout1Execute();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormActivate();
    void buildMenus();
    void centre();

    UpgradeProcedure m_procedure;
    UpgradeResult m_result;
    bool m_started = false;
    bool m_running = false;
    bool m_closingByProcedure = false;
    bool m_centredInFrame = false;
    bool m_shownOnce = false;
};
