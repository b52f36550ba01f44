#include "Disvideo.h"

#include "CppWebBrowser.h"
#include "PageWindowRules.h"
#include "client/widgets/WindowMoves.h"

#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

QPointer<TfrmDisVideo> frmDisVideo;

namespace {

// The frame the window manager drew around the last video window: new windows are placed with it
// before they are first shown, so they do not jump.
QMargins g_knownFrame;

} // namespace

TfrmDisVideo::TfrmDisVideo(QWidget *parent)
    : QWidget(parent)
{
    // A top-level window of its own, owned by no other window of the client.
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("显示视频"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_cppVideo = new TCppWebBrowser(this);
    m_cppVideo->setObjectName(QStringLiteral("cppVideo"));
    m_cppVideo->setRetryOffline(true);
    layout->addWidget(m_cppVideo);
    resize(532, 399);
    FormCreate();
}

void TfrmDisVideo::FormCreate()
{
    placeAtCorner();
}

void TfrmDisVideo::placeAtCorner()
{
    const QRect screen = CurrentScreenLayout().primary().geometry;
    if (screen.isEmpty())
        return;
    // Before the window is mapped the frame is not known yet; the last one seen stands in.
    QMargins frame = g_knownFrame;
    if (windowHandle() && isVisible())
        frame = windowHandle()->frameMargins();
    const QSize outer(width() + frame.left() + frame.right(), height() + frame.top() + frame.bottom());
    // move() places the outer frame's top-left corner.
    move(VideoWindowPosition(screen, outer));
}

void TfrmDisVideo::closeEvent(QCloseEvent *event)
{
    // A hidden page would play on; the next video loads a page anew.
    m_cppVideo->releasePage();
    QWidget::closeEvent(event);
    // Every video command leaves a closed window behind. Hidden, it would keep its native window
    // and the drawing resources tied to it (about 16 MiB each here, bench/soak): those go, the
    // widget stays and makes them again if it is shown.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible())
            destroy();
    });
}

bool TfrmDisVideo::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    // Once the window manager has framed the window, its real outer size is known: place it again
    // with that frame, once.
    if (!m_placedWithFrame && isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Show)) {
        const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        if (!frame.isNull()) {
            m_placedWithFrame = true;
            g_knownFrame = frame;
            placeAtCorner();
        }
    }
    return handled;
}
