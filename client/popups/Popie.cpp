#include "Popie.h"

#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "DocHostHandler.h"
#include "NavigationTrust.h"
#include "PopupCommands.h"
#include "PopupPlacement.h"
#include "client/widgets/WindowMoves.h"

#include <QTimer>
#include <QVBoxLayout>

QPointer<TfrmPopIe> frmPopIe;

namespace {

const QString kBlankPage = QStringLiteral("about:blank");

void centreOnScreen(QWidget *window)
{
    CentreOnScreen(window, CentreArea::WholeScreen);
}

} // namespace

TfrmPopIe::TfrmPopIe(QWidget *parent)
    // A tool window: no task-bar entry of its own.
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , ie1(new TCppWebBrowser(this))
{
    setObjectName(QStringLiteral("frmPopIe"));
    ie1->setObjectName(QStringLiteral("ie1"));
    ie1->setRetryOffline(true);
    setWindowTitle(QStringLiteral("弹出窗口"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    resize(463, 377);
    centreOnScreen(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ie1);
    ie1->setCommandTest(
        [](const QString &url) { return InterpretLinkPopupCommand(url) != LinkPopupCommand::None; });
    connect(ie1, &TCppWebBrowser::OnBeforeNavigate2, this, &TfrmPopIe::ie1BeforeNavigate2);
}

void TfrmPopIe::openPage(const QString &url, std::optional<int> width, std::optional<int> height, bool centre,
                         const TDocHostHandler *hostHandler)
{
    if (!IsLoadableAddress(url))
        return;
    ++m_openCount;
    if (width)
        resize(*width, this->height());
    if (height)
        resize(this->width(), *height);
    // A page's size never makes the window larger than the desktop or pushes it out of reach.
    const QRect usable = KeepUsable(geometry(), CurrentScreenLayout());
    if (usable != geometry())
        setGeometry(usable);
    if (centre || !m_shownOnce)
        centreOnScreen(this);
    ie1->Navigate(kBlankPage);
    // A blank page that never ends loading drops the request, as every bounded wait does.
    if (!WaitWhileBusy(ie1))
        return;
    if (hostHandler)
        hostHandler->attach(ie1);
    ie1->Navigate(url);
    show();
    m_shownOnce = true;
}

void TfrmPopIe::ie1BeforeNavigate2(const QString &url, bool &cancel)
{
    switch (InterpretLinkPopupCommand(url)) {
    case LinkPopupCommand::None:
        return;
    case LinkPopupCommand::Hide:
        hide();
        cancel = true;
        // The page is emptied right after this navigation has been refused, not inside it.
        QTimer::singleShot(0, this, [this, openCount = m_openCount] { blankAfterHide(openCount); });
        return;
    case LinkPopupCommand::Refresh:
        cancel = true;
        // The refused navigation keeps the browser busy until this handler has returned.
        QTimer::singleShot(0, this, &TfrmPopIe::refreshWhenIdle);
        return;
    }
}

void TfrmPopIe::blankAfterHide(int openCount)
{
    if (openCount == m_openCount)
        ie1->Navigate(kBlankPage);
}

void TfrmPopIe::refreshWhenIdle()
{
    if (WaitWhileBusy(ie1))
        ie1->Refresh();
}
