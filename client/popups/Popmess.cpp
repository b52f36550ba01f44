#include "Popmess.h"

#include "CppWebBrowser.h"
#include "PopupCommands.h"
#include "PopupPlacement.h"
#include "client/widgets/WindowMoves.h"

#include <QTimer>
#include <QVBoxLayout>

QPointer<TfrmPopMess> frmPopMess;

TfrmPopMess::TfrmPopMess(QWidget *parent)
    // A tool window: no task-bar entry of its own.
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
    , web1(new TCppWebBrowser(this))
    , webTime(new TCppWebBrowser(this))
    , Timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmPopMess"));
    web1->setObjectName(QStringLiteral("web1"));
    webTime->setObjectName(QStringLiteral("webTime"));
    setWindowTitle(QStringLiteral("消息精灵"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(596, 398);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(web1);

    // Outside the sprite's area, so never seen; kept hidden so that showing the sprite does not
    // give it a page.
    webTime->setGeometry(320, 112, 100, 118);
    webTime->hide();

    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(10000);
    connect(Timer, &QTimer::timeout, this, &TfrmPopMess::TimerTimer);

    web1->setCommandTest(&SpriteClosesFor);
    connect(web1, &TCppWebBrowser::OnBeforeNavigate2, this, &TfrmPopMess::web1BeforeNavigate2);
    FormCreate();
}

void TfrmPopMess::FormCreate()
{
    const ScreenArea primary = CurrentScreenLayout().primary();
    const QRect place =
        SpriteGeometry(primary.geometry.isEmpty() ? QRect(0, 0, 1024, 768) : primary.geometry);
    resize(place.size());
    move(place.topLeft());
}

void TfrmPopMess::web1BeforeNavigate2(const QString &url, bool &cancel)
{
    if (!SpriteClosesFor(url))
        return;
    // No close handler: closing only hides the sprite.
    close();
    cancel = true;
}
