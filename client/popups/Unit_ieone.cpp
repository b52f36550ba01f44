#include "Unit_ieone.h"

#include "CppWebBrowser.h"
#include "PopupPictures.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

QPointer<TfrmIEOne> frmIEOne;

TfrmIEOne::TfrmIEOne(QWidget *parent)
    : PopupBrowserForm(parent)
    , ImageBack(new QLabel(this))
    , LabelTitle(new QLabel(QStringLiteral("标题"), this))
    , Panel1(new QFrame(this))
    , BitBtn1(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmIEOne"));
    resize(636, 390);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);

    ImageBack->setObjectName(QStringLiteral("ImageBack"));
    ImageBack->setPixmap(PopupPicture(QStringLiteral("popup_ieone_back.png")));
    ImageBack->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ImageBack->setGeometry(rect());
    ImageBack->installEventFilter(this);
    ImageBack->lower();

    // Transparent, so the title band of the background shows through.
    LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    LabelTitle->setGeometry(32, 8, 169, 13);
    LabelTitle->setAutoFillBackground(false);
    LabelTitle->setAttribute(Qt::WA_TranslucentBackground);
    QPalette white = LabelTitle->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    LabelTitle->setPalette(white);
    LabelTitle->setFont(QFont(QStringLiteral("Tahoma"), 8));

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(6, 27, 626, 355);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0); // the frame is the 1-pixel border
    panelLayout->addWidget(ie1);

    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(611, 3, 17, 18);
    BitBtn1->setIcon(PopupPicture(QStringLiteral("popup_close.png")));
    BitBtn1->setIconSize(QSize(17, 18));
    BitBtn1->setFlat(true);
    BitBtn1->setFocusPolicy(Qt::NoFocus);
    BitBtn1->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"));
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmIEOne::BitBtn1Click);
}

bool TfrmIEOne::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ImageBack && event->type() == QEvent::MouseButtonPress) {
        const auto button = static_cast<QMouseEvent *>(event)->button();
        ImageBackMouseDown(button);
        return button == Qt::LeftButton;
    }
    return PopupBrowserForm::eventFilter(watched, event);
}

void TfrmIEOne::resizeEvent(QResizeEvent *event)
{
    ImageBack->setGeometry(rect());
    PopupBrowserForm::resizeEvent(event);
}

void TfrmIEOne::BitBtn1Click()
{
    close();
}

void TfrmIEOne::ImageBackMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
}
