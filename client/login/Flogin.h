#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class MouseFilter;
class PictureBox;
class QAction;
class QCheckBox;
class QLineEdit;
class QPushButton;
class TCppWebBrowser;

// The login window, the application's main form: closing it ends the client. It carries the
// hidden browsers of the login exchange and the application-wide mouse filter.
class TfrmLogin : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmLogin(QWidget *parent = nullptr);

    PictureBox *loginback = nullptr;
    QLineEdit *teUserId = nullptr;
    QLineEdit *teUserPass = nullptr;
    QPushButton *cbLogin = nullptr;
    QPushButton *cbCancel = nullptr;
    QPushButton *cbReg = nullptr;
    QCheckBox *cbxSavePass = nullptr;
    PictureBox *Label3 = nullptr;
    QCheckBox *cbxAutoLogin = nullptr;
    PictureBox *Label5 = nullptr;
    PictureBox *Label4 = nullptr;
    QPushButton *cbClose = nullptr;
    QLineEdit *Edit1 = nullptr;
    // Never shown: engine pages only, made when first navigated.
    TCppWebBrowser *web1 = nullptr;
    TCppWebBrowser *cppver = nullptr;
    TCppWebBrowser *cppadd = nullptr;
    MouseFilter *ApplicationEvents1 = nullptr;

    QAction *atOpenIniFile = nullptr;
    QAction *atLogin = nullptr;
    QAction *atSaveIni = nullptr;
    QAction *atOpenMainWindowIe = nullptr;
    QAction *atOpenMySpace = nullptr;

    // Writes one settings value, only while the settings file exists.
    void WriteSetting(const QString &section, const QString &key, const QString &value);
    // Navigates the browser to the web root followed by `path`, without waiting.
    void NavigatePortal(TCppWebBrowser *browser, const QString &path);

    QString webRoot() const { return FWebRoot; }
    bool loginUnderWay() const { return m_loginUnderWay; }

public slots:
    void atOpenIniFileExecute();
    void atLoginExecute();
    void atSaveIniExecute();
    void atOpenMainWindowIeExecute();
    void atOpenMySpaceExecute();

    void cbLoginClick();
    void cbCancelClick();
    void cbCloseClick();
    void cbRegClick();
    void Label3Click();
    void Label4Click();
    void Label5Click();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildComponents();
    void buildActions();
    void FormCreate();
    void FormActivate();
    void loginbackMouseDown(Qt::MouseButton button);
    void startAutomaticLogin();
    void firstPaintDone();
    void showUserInMainWindow();
    void startVersionCheck();
    void cppverDocumentComplete(const QString &url);
    void runVersionCheck();
    void versionPageTimedOut();
    void prepareMainPages();
    void finishLoginWithFailure(const QString &message);
    void openFramedPage(const QString &path, const QString &title);

    QString FMachineId;
    QString FClientVersion;
    QString FUserRole;
    QString FWebRoot;
    QString FSavePass;
    QString FAutoLogin;
    QString FUserId;
    QString FUserPass;
    QString FTitle;
    QString FUserInfo;
    QString FLatestVersion;
    QString FMinVersion;
    QString FMaxVersion;
    bool FVersionChecked = false;

    // A login runs from the login button (or the automatic login) until the main window opens,
    // a failure is shown or the upgrader is started; presses in between are ignored.
    bool m_loginUnderWay = false;
    bool m_versionPending = false;
    bool m_versionChecking = false;
    QTimer m_versionLimit;
    bool m_painted = false;
    bool m_loginAfterPaint = false;
};

extern QPointer<TfrmLogin> frmLogin;
