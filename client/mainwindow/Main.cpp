#include "Main.h"

#include "MainCommandEffects.h"
#include "MainCommands.h"
#include "client/widgets/PictureBox.h"
#include "client/widgets/WindowMoves.h"

#include "CppWebBrowser.h"
#include "DocHostHandler.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QVBoxLayout>

QPointer<TfrmMain> frmMain;

namespace {

constexpr int kWidth = 1004;
constexpr int kHeight = 668;
constexpr int kTitleHeight = 28;
constexpr int kHeadHeight = 73;
constexpr int kBodyHeight = 567;
constexpr int kRightEndWidth = 74;

QWidget *makePanel(QWidget *parent, const QString &name, int height)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(height);
    return panel;
}

TCppWebBrowser *fillWithBrowser(QWidget *panel, const QString &name)
{
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browser = new TCppWebBrowser(panel);
    browser->setObjectName(name);
    // The service's pages come back by themselves after an outage.
    browser->setRetryOffline(true);
    layout->addWidget(browser);
    return browser;
}

QPushButton *makePictureButton(QWidget *parent, const QString &name, const QString &picture,
                               const QRect &place)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(QIcon(ClientPicture(picture)));
    button->setIconSize(place.size());
    button->setStyleSheet(
        QStringLiteral("QPushButton { border: none; padding: 0; background: transparent; }"));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

PictureBox *makeTitleLabel(QWidget *parent, const QString &name, const QRect &place)
{
    auto *label = new PictureBox(parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return label;
}

} // namespace

TfrmMain::TfrmMain(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("登录"));
    setWindowIcon(QIcon(ClientPicture(QStringLiteral("app_icon.png"))));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);

    // The handler is made before the page areas so each can be attached as it is built.
    FHostHandler = new TDocHostHandler(this);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    buildTitleBar();
    stack->addWidget(Panelmenu);
    buildPageAreas();
    for (QWidget *panel : {PanelHead, PanelBody, PanelEnd, PanelTest})
        stack->addWidget(panel);
    stack->addStretch();

    buildActions();
    buildMenus();
    buildTrayIcon();
    FRunState = 0;
    FormCreate();
}

void TfrmMain::buildTitleBar()
{
    Panelmenu = makePanel(this, QStringLiteral("Panelmenu"), kTitleHeight);
    PanelmenuLeft = new QWidget(Panelmenu);
    PanelmenuLeft->setObjectName(QStringLiteral("PanelmenuLeft"));
    PanelmenuLeft->setStyleSheet(QStringLiteral("#PanelmenuLeft { background: #0d2b4e; }"));
    PanelmenuLeft->setAttribute(Qt::WA_StyledBackground);

    Image2 = new PictureBox(PanelmenuLeft);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(ClientPicture(QStringLiteral("main_title_back.png")));
    Image2->setScaledContents(true);
    Image1 = new PictureBox(PanelmenuLeft);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ClientPicture(QStringLiteral("main_title_right.png")));
    Image1->setScaledContents(true);

    LabelMainTitle = makeTitleLabel(PanelmenuLeft, QStringLiteral("LabelMainTitle"), QRect(25, 6, 256, 13));
    LabelMainTitle->setText(QStringLiteral("Sorvane"));
    LabelMainUserInfo =
        makeTitleLabel(PanelmenuLeft, QStringLiteral("LabelMainUserInfo"), QRect(401, 6, 216, 13));

    Image4 = new PictureBox(PanelmenuLeft);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(628, 5, 67, 19);
    Image4->setPixmap(ClientPicture(QStringLiteral("main_myspace.png")));
    Image4->setCursor(Qt::PointingHandCursor);

    BitBtn3 = makePictureButton(PanelmenuLeft, QStringLiteral("BitBtn3"), QStringLiteral("main_menu.png"),
                                QRect(833, 7, 22, 13));
    BitBtn2 = makePictureButton(PanelmenuLeft, QStringLiteral("BitBtn2"), QStringLiteral("main_min.png"),
                                QRect(859, 7, 22, 13));
    BitBtn1 = makePictureButton(PanelmenuLeft, QStringLiteral("BitBtn1"), QStringLiteral("main_close.png"),
                                QRect(885, 7, 22, 13));

    Image2->lower();
    Image1->lower();

    connect(Image2, &PictureBox::mouseDown, this, &TfrmMain::Image2MouseDown);
    connect(LabelMainTitle, &PictureBox::mouseDown, this, &TfrmMain::LabelMainTitleMouseDown);
    connect(LabelMainUserInfo, &PictureBox::mouseDown, this, &TfrmMain::LabelMainTitleMouseDown);
    connect(Image4, &PictureBox::clicked, this, &TfrmMain::Image4Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmMain::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmMain::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TfrmMain::BitBtn3Click);
}

void TfrmMain::buildPageAreas()
{
    PanelHead = makePanel(this, QStringLiteral("PanelHead"), kHeadHeight);
    cppHead = fillWithBrowser(PanelHead, QStringLiteral("cppHead"));
    PanelBody = makePanel(this, QStringLiteral("PanelBody"), kBodyHeight);
    cppBody = fillWithBrowser(PanelBody, QStringLiteral("cppBody"));
    // The end area has no height, but its page still loads and runs.
    PanelEnd = makePanel(this, QStringLiteral("PanelEnd"), 0);
    cppEnd = fillWithBrowser(PanelEnd, QStringLiteral("cppEnd"));
    PanelTest = makePanel(this, QStringLiteral("PanelTest"), 0);
    Labelinfo = new QLabel(PanelTest);
    Labelinfo->setObjectName(QStringLiteral("Labelinfo"));
    Labelinfo->setGeometry(1, 1, 519, 13);

    cppHead->setCommandTest(
        [](const QString &url) { return InterpretHeadUrl(url).kind != HeadCommandKind::None; });
    // What the head and end areas open loads into the body as the body's own navigation.
    cppBody->setNewWindowsAsNavigation(true);
    cppBody->setCommandTest(
        [](const QString &url) { return InterpretBodyUrl(url, QString()).kind != BodyCommandKind::None; });
    connect(cppHead, &TCppWebBrowser::OnBeforeNavigate2, this, &TfrmMain::cppHeadBeforeNavigate2);
    connect(cppBody, &TCppWebBrowser::OnBeforeNavigate2, this, &TfrmMain::cppBodyBeforeNavigate2);
    connect(cppHead, &TCppWebBrowser::OnNewWindow2, this, &TfrmMain::cppHeadNewWindow2);
    connect(cppEnd, &TCppWebBrowser::OnNewWindow2, this, &TfrmMain::cppEndNewWindow2);
}

void TfrmMain::FormCreate()
{
    // No page is made here: the areas get their engine pages when the login loads them, so
    // nothing of the engine starts before the login window is on the screen. The host look
    // is applied to each page as it is made.
    for (TCppWebBrowser *browser : {cppBody, cppHead, cppEnd}) {
        FHostHandler->attach(browser);
        browser->setSilent(true);
    }
    resize(kWidth, kHeight);
    CentreOnScreen(this, CentreArea::WholeScreen);
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutTitlePictures();
}

void TfrmMain::layoutTitlePictures()
{
    // The buttons keep their places; the background fills and the right end follows the width.
    const int w = width();
    PanelmenuLeft->setGeometry(0, 0, w, kTitleHeight);
    Image1->setGeometry(w - 1 - kRightEndWidth, 1, kRightEndWidth, kTitleHeight - 2);
    Image2->setGeometry(1, 1, w - 2 - kRightEndWidth, kTitleHeight - 2);
}

void TfrmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // X can deliver a focus change late, after the window was hidden; only a window the user
    // can see counts as activated.
    if (event->type() == QEvent::ActivationChange && isVisible() && isActiveWindow())
        FormActivate();
}

void TfrmMain::FormActivate()
{
    FRunState = 1;
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    // A close request from the window system ends the client; the title bar's close button
    // only hides the window and never comes here.
    event->accept();
    QCoreApplication::quit();
}

void TfrmMain::Image2MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        StartWindowMove(this);
}

void TfrmMain::LabelMainTitleMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        StartWindowMove(this);
}

void TfrmMain::cppHeadBeforeNavigate2(const QString &url, bool &cancel)
{
    if (RunHeadCommand(*this, url))
        cancel = true;
}

void TfrmMain::cppBodyBeforeNavigate2(const QString &url, bool &cancel)
{
    if (RunBodyCommand(*this, url))
        cancel = true;
}

void TfrmMain::cppHeadNewWindow2(TCppWebBrowser *&target, bool &cancel)
{
    Q_UNUSED(cancel);
    SendNewWindowToBody(cppBody, target);
}

void TfrmMain::cppEndNewWindow2(TCppWebBrowser *&target, bool &cancel)
{
    Q_UNUSED(cancel);
    SendNewWindowToBody(cppBody, target);
}
