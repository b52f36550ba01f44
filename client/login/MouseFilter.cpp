#include "MouseFilter.h"

#include "DragBands.h"
#include "Flogin.h"
#include "PopupParts.h"

#include "AppWindows.h"
#include "CppWebBrowser.h"
#include "client/mainwindow/Main.h"
#include "client/popups/Popie.h"
#include "client/popups/Popmess.h"
#include "client/widgets/WindowMoves.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

namespace {

QWidget *clientWindowOf(QObject *watched)
{
    const QList<QWidget *> windows = AppWindows();
    if (watched->isWidgetType()) {
        QWidget *top = static_cast<QWidget *>(watched)->window();
        return windows.contains(top) ? top : nullptr;
    }
    if (watched->isWindowType()) {
        for (QWidget *window : windows) {
            if (window->windowHandle() == watched)
                return window;
        }
    }
    return nullptr;
}

// The receiver is the browser or lies inside it (a page's render widget is a child of its view).
bool hits(TCppWebBrowser *browser, QWidget *receiver)
{
    return browser && (browser == receiver || browser->isAncestorOf(receiver));
}

MoveWindow decide(PressedBrowser which, TCppWebBrowser *browser, QWidget *receiver, const QPointF &local)
{
    const QPoint at = receiver->mapTo(browser, local.toPoint());
    const int loginWidth = frmLogin ? frmLogin->width() : 0;
    return WindowToMove(which, at.x(), at.y(), browser->width(), loginWidth);
}

} // namespace

MouseFilter::MouseFilter(QObject *parent)
    : QObject(parent)
{}

bool MouseFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() == Qt::RightButton) {
        // Swallowed on the window as well as on the widget, so no context menu event follows.
        // Menus and the tray icon are no client windows and keep their right button.
        return clientWindowOf(watched) != nullptr;
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && watched->isWidgetType())
        leftPress(static_cast<QWidget *>(watched), mouse);
    return false;
}

void MouseFilter::leftPress(QWidget *receiver, QMouseEvent *event)
{
    if (event == m_lastPress && event->timestamp() == m_lastPressTime)
        return;
    m_lastPress = event;
    m_lastPressTime = event->timestamp();

    const QPointF local = event->position();
    if (frmLogin && hits(frmLogin->web1, receiver)) {
        if (decide(PressedBrowser::LoginWeb1, frmLogin->web1, receiver, local) == MoveWindow::Login)
            StartWindowMove(frmLogin);
        return;
    }
    if (frmMain) {
        frmMain->Labelinfo->setText(
            PressInfoText(qRound(local.x()), qRound(local.y()), frmMain->cppHead->width()));
        if (hits(frmMain->cppHead, receiver)) {
            if (decide(PressedBrowser::MainHead, frmMain->cppHead, receiver, local) == MoveWindow::Main)
                StartWindowMove(frmMain);
            return;
        }
    }
    if (TCppWebBrowser *sprite = SpriteBrowser(frmPopMess.data()); hits(sprite, receiver)) {
        if (decide(PressedBrowser::SpriteWeb1, sprite, receiver, local) == MoveWindow::Sprite)
            StartWindowMove(frmPopMess);
        return;
    }
    if (TCppWebBrowser *popup = PopupBrowser(frmPopIe.data()); hits(popup, receiver)) {
        if (decide(PressedBrowser::LinkPopupIe1, popup, receiver, local) == MoveWindow::LinkPopup)
            StartWindowMove(frmPopIe);
    }
}
