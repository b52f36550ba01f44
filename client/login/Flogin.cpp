#include "Flogin.h"

#include "LoginDecisions.h"
#include "MouseFilter.h"

#include "BrowserEngine.h"
#include "CppWebBrowser.h"
#include "LoginSettings.h"
#include "MessageBoxes.h"
#include "SettingsFile.h"
#include "Unit_func.h"
#include "buildconfig.h"
#include "client/widgets/PictureBox.h"
#include "client/widgets/WindowMoves.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

QPointer<TfrmLogin> frmLogin;

namespace {

constexpr int kWidth = 637;
constexpr int kHeight = 390;

QPushButton *makePictureButton(QWidget *parent, const QString &name, const QString &picture,
                               const QRect &place)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setIcon(QIcon(ClientPicture(picture)));
    button->setIconSize(place.size());
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; background: transparent; }"
                                         "QPushButton:focus { outline: 1px dotted #1b3a5c; }"));
    return button;
}

PictureBox *makeCaption(QWidget *parent, const QString &name, const QString &text, const QRect &place)
{
    auto *label = new PictureBox(parent);
    label->setObjectName(name);
    label->setText(text);
    label->setGeometry(place);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet(QStringLiteral("color: #1b3a5c; background: transparent;"));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

TCppWebBrowser *makeHiddenBrowser(QWidget *parent, const QString &name, const QPoint &place)
{
    auto *browser = new TCppWebBrowser(parent);
    browser->setObjectName(name);
    browser->move(place);
    browser->hide();
    return browser;
}

} // namespace

TfrmLogin::TfrmLogin(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , FClientVersion(QStringLiteral(SORVANE_CLIENT_VERSION))
    , FUserRole(QStringLiteral("000"))
    , FTitle(QStringLiteral("Sorvane"))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Sorvane金融终端 用户登录"));
    setWindowIcon(QIcon(ClientPicture(QStringLiteral("app_icon.png"))));
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    buildComponents();
    buildActions();
    FormCreate();
}

void TfrmLogin::buildComponents()
{
    loginback = new PictureBox(this);
    loginback->setObjectName(QStringLiteral("loginback"));
    loginback->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    loginback->setPixmap(ClientPicture(QStringLiteral("login_back.png")));

    teUserId = new QLineEdit(this);
    teUserId->setObjectName(QStringLiteral("teUserId"));
    teUserId->setGeometry(464, 176, 89, 22);
    teUserPass = new QLineEdit(this);
    teUserPass->setObjectName(QStringLiteral("teUserPass"));
    teUserPass->setGeometry(464, 201, 89, 22);
    teUserPass->setEchoMode(QLineEdit::Password);
    // Masked with "*", not the style's dot.
    teUserPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

    cbLogin = makePictureButton(this, QStringLiteral("cbLogin"), QStringLiteral("login_login.png"),
                                QRect(460, 268, 63, 20));
    cbCancel = makePictureButton(this, QStringLiteral("cbCancel"), QStringLiteral("login_cancel.png"),
                                 QRect(540, 268, 63, 20));
    cbReg = makePictureButton(this, QStringLiteral("cbReg"), QStringLiteral("login_reg.png"),
                              QRect(460, 302, 135, 25));
    cbClose = makePictureButton(this, QStringLiteral("cbClose"), QStringLiteral("login_close.png"),
                                QRect(608, 2, 21, 19));
    cbClose->setFocusPolicy(Qt::NoFocus);

    cbxSavePass = new QCheckBox(this);
    cbxSavePass->setObjectName(QStringLiteral("cbxSavePass"));
    cbxSavePass->setGeometry(460, 237, 13, 17);
    Label3 = makeCaption(this, QStringLiteral("Label3"), QStringLiteral("记住密码"), QRect(479, 238, 51, 16));
    cbxAutoLogin = new QCheckBox(this);
    cbxAutoLogin->setObjectName(QStringLiteral("cbxAutoLogin"));
    cbxAutoLogin->setGeometry(540, 237, 13, 17);
    Label5 = makeCaption(this, QStringLiteral("Label5"), QStringLiteral("自动登录"), QRect(559, 238, 51, 16));
    Label4 = makeCaption(this, QStringLiteral("Label4"), QStringLiteral("忘记密码"), QRect(559, 204, 51, 16));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 165, 105, 21);
    Edit1->hide();

    web1 = makeHiddenBrowser(this, QStringLiteral("web1"), QPoint(360, 450));
    cppver = makeHiddenBrowser(this, QStringLiteral("cppver"), QPoint(474, 446));
    cppadd = makeHiddenBrowser(this, QStringLiteral("cppadd"), QPoint(573, 446));

    setTabOrder(teUserId, teUserPass);
    setTabOrder(teUserPass, cbLogin);
    setTabOrder(cbLogin, cbCancel);
    setTabOrder(cbCancel, cbReg);

    connect(loginback, &PictureBox::mouseDown, this, &TfrmLogin::loginbackMouseDown);
    connect(cbLogin, &QPushButton::clicked, this, &TfrmLogin::cbLoginClick);
    // Enter in either box logs in, as users of a login form expect.
    connect(teUserId, &QLineEdit::returnPressed, this, &TfrmLogin::cbLoginClick);
    connect(teUserPass, &QLineEdit::returnPressed, this, &TfrmLogin::cbLoginClick);
    connect(cbCancel, &QPushButton::clicked, this, &TfrmLogin::cbCancelClick);
    connect(cbReg, &QPushButton::clicked, this, &TfrmLogin::cbRegClick);
    connect(cbClose, &QPushButton::clicked, this, &TfrmLogin::cbCloseClick);
    connect(Label3, &PictureBox::clicked, this, &TfrmLogin::Label3Click);
    connect(Label4, &PictureBox::clicked, this, &TfrmLogin::Label4Click);
    connect(Label5, &PictureBox::clicked, this, &TfrmLogin::Label5Click);
    connect(cppver, &TCppWebBrowser::OnDocumentComplete, this, &TfrmLogin::cppverDocumentComplete);

    ApplicationEvents1 = new MouseFilter(this);
    qApp->installEventFilter(ApplicationEvents1);
}

void TfrmLogin::buildActions()
{
    const auto make = [this](const QString &name, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(name);
        return action;
    };
    atOpenIniFile = make(QStringLiteral("atOpenIniFile"), QString());
    atLogin = make(QStringLiteral("atLogin"), QString());
    atSaveIni = make(QStringLiteral("atSaveIni"), QString());
    atOpenMainWindowIe = make(QStringLiteral("atOpenMainWindowIe"), QStringLiteral("打开主页"));
    atOpenMySpace = make(QStringLiteral("atOpenMySpace"), QString());
    connect(atOpenIniFile, &QAction::triggered, this, &TfrmLogin::atOpenIniFileExecute);
    connect(atLogin, &QAction::triggered, this, &TfrmLogin::atLoginExecute);
    connect(atSaveIni, &QAction::triggered, this, &TfrmLogin::atSaveIniExecute);
    connect(atOpenMainWindowIe, &QAction::triggered, this, &TfrmLogin::atOpenMainWindowIeExecute);
    connect(atOpenMySpace, &QAction::triggered, this, &TfrmLogin::atOpenMySpaceExecute);
}

void TfrmLogin::FormCreate()
{
    setFixedSize(kWidth, kHeight);
    loginback->setGeometry(0, 0, kWidth, kHeight);
    loginback->lower();
    CentreOnScreen(this);
    FMachineId = ComputeMachineId();

    m_versionLimit.setSingleShot(true);
    connect(&m_versionLimit, &QTimer::timeout, this, &TfrmLogin::versionPageTimedOut);

    atOpenIniFile->trigger();
}

void TfrmLogin::atOpenIniFileExecute()
{
    teUserId->clear();
    teUserPass->clear();
    const LoginSettings settings = LoadLoginSettings();
    FWebRoot = settings.webRoot;
    // From here on only pages of the service's own origin may send commands.
    BrowserEngine::setServiceWebRoot(FWebRoot);
    FSavePass = settings.savePass;
    FAutoLogin = settings.autoLogin;
    FUserId = settings.userId;
    FUserPass = settings.userPass;

    teUserId->setText(FUserId);
    if (IsFlagOn(FSavePass)) {
        teUserPass->setText(FUserPass);
        cbxSavePass->setChecked(true);
    }
    if (IsFlagOn(FAutoLogin)) {
        cbxAutoLogin->setChecked(true);
        // The answer is written into the main window, which is made after this one: the login
        // starts once every window of the client exists.
        if (!teUserId->text().isEmpty() && !teUserPass->text().isEmpty())
            QTimer::singleShot(0, this, &TfrmLogin::startAutomaticLogin);
    }
}

void TfrmLogin::startAutomaticLogin()
{
    // The window comes onto the screen before the engine starts for the login.
    if (isVisible() && !m_painted) {
        m_loginAfterPaint = true;
        // A window the window system never exposes must not keep the login waiting.
        QTimer::singleShot(1000, this, &TfrmLogin::firstPaintDone);
        return;
    }
    atLogin->trigger();
}

void TfrmLogin::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!m_painted) {
        m_painted = true;
        QTimer::singleShot(0, this, &TfrmLogin::firstPaintDone);
    }
}

void TfrmLogin::firstPaintDone()
{
    if (m_loginAfterPaint) {
        m_loginAfterPaint = false;
        atLogin->trigger();
        return;
    }
    // Start the engine while the user types, so the first login does not wait for it.
    BrowserEngine::profile();
}

void TfrmLogin::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TfrmLogin::FormActivate()
{
    teUserId->setFocus();
}

void TfrmLogin::cbLoginClick()
{
    teUserId->setText(TrimLoginText(teUserId->text()));
    teUserPass->setText(TrimLoginText(teUserPass->text()));
    if (!teUserId->text().isEmpty() && !teUserPass->text().isEmpty()) {
        atLogin->trigger();
        return;
    }
    const QString message =
        teUserId->text().isEmpty() ? QStringLiteral("请输入登录名") : QStringLiteral("请输入登录密码");
    ShowMessageBox({message, QStringLiteral("提示信息"), BoxButtons::Ok, BoxIcon::None});
}

void TfrmLogin::cbCancelClick()
{
    teUserId->clear();
    teUserPass->clear();
    ClearStoredCredentials();
}

void TfrmLogin::cbCloseClick()
{
    close();
}

void TfrmLogin::closeEvent(QCloseEvent *event)
{
    // The main form: its closing ends the client.
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

void TfrmLogin::Label3Click()
{
    cbxSavePass->toggle();
}

void TfrmLogin::Label5Click()
{
    cbxAutoLogin->toggle();
}

void TfrmLogin::loginbackMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        StartWindowMove(this);
}

void TfrmLogin::WriteSetting(const QString &section, const QString &key, const QString &value)
{
    ::WriteSetting(section, key, value);
}
