#pragma once

#include <QPointer>
#include <QWidget>

class PictureBox;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class TCppWebBrowser;
class TDocHostHandler;

// The frameless main window: a title bar drawn from pictures over three stacked page areas.
// Closing and minimising hide it to the tray, or minimise it to the task bar on a desktop without
// one; a close request from the window system ends the client.
class TfrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);

    // Title bar.
    QWidget *Panelmenu = nullptr;
    QWidget *PanelmenuLeft = nullptr;
    PictureBox *Image2 = nullptr;
    PictureBox *Image1 = nullptr;
    PictureBox *LabelMainTitle = nullptr;
    PictureBox *LabelMainUserInfo = nullptr;
    PictureBox *Image4 = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QPushButton *BitBtn1 = nullptr;

    // Page areas, top to bottom.
    QWidget *PanelHead = nullptr;
    TCppWebBrowser *cppHead = nullptr;
    QWidget *PanelBody = nullptr;
    TCppWebBrowser *cppBody = nullptr;
    QWidget *PanelEnd = nullptr;
    TCppWebBrowser *cppEnd = nullptr;
    QWidget *PanelTest = nullptr;
    QLabel *Labelinfo = nullptr;

    // Shared by the three page areas and the link pop-up; lives as long as the window.
    TDocHostHandler *FHostHandler = nullptr;
    // 0 not yet activated, 1 activated, 2 quitting.
    int FRunState = 0;

    QAction *atClose = nullptr;
    QAction *atMax = nullptr;
    QAction *atMin = nullptr;
    QAction *atRstore = nullptr;
    QAction *atQuit = nullptr;
    QAction *atrefreshHome = nullptr;
    QAction *atDeleteCookie = nullptr;
    QAction *atRefesh3Page = nullptr;

    QMenu *MenuPop = nullptr;
    QAction *N4 = nullptr;
    QAction *N6 = nullptr;
    QAction *MenuItem1 = nullptr;
    QAction *MenuItem2 = nullptr;
    QAction *MenuItem3 = nullptr;

    QMenu *PopupMenu = nullptr;
    QAction *N1 = nullptr;
    QAction *N3 = nullptr;
    QSystemTrayIcon *TrayIcon = nullptr;

public slots:
    void atCloseExecute();
    void atMaxExecute();
    void atMinExecute();
    void atRstoreExecute();
    void atQuitExecute();
    void atrefreshHomeExecute();
    void atDeleteCookieExecute();
    void atRefesh3PageExecute();

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void Image4Click();
    void MenuItem1Click();
    void MenuItem2Click();
    void TrayIconClick();
    void TrayIconBalloonClick();

    // Command URLs come with the main window's command table.
    void cppHeadBeforeNavigate2(const QString &url, bool &cancel);
    void cppBodyBeforeNavigate2(const QString &url, bool &cancel);
    void cppHeadNewWindow2(TCppWebBrowser *&target, bool &cancel);
    void cppEndNewWindow2(TCppWebBrowser *&target, bool &cancel);

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildTitleBar();
    void buildPageAreas();
    void buildActions();
    void buildMenus();
    void buildTrayIcon();
    void FormCreate();
    void FormActivate();
    void Image2MouseDown(Qt::MouseButton button);
    void LabelMainTitleMouseDown(Qt::MouseButton button);
    void layoutTitlePictures();
    void putAway();
    void watchTray();

    // Runs while the window is hidden to the tray, so a tray that goes away does not take the
    // window with it.
    QTimer *m_trayWatch = nullptr;
};

extern QPointer<TfrmMain> frmMain;
