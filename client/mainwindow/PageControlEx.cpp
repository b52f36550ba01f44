#include "PageControlEx.h"

#include <QMouseEvent>
#include <QTabBar>

TPageControlEx::TPageControlEx(QWidget *parent)
    : QTabWidget(parent)
{
    // The tab bar takes the clicks on the tabs; the control itself those on the empty strip.
    tabBar()->installEventFilter(this);
}

bool TPageControlEx::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tabBar() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // The first click has already made the tab under the pointer current.
        emit leftDoubleClicked();
        return true;
    }
    return QTabWidget::eventFilter(watched, event);
}

void TPageControlEx::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Double-clicks a page does not take bubble up to here; only the strip beside the tabs counts.
    const bool onStrip = event->position().y() <= tabBar()->geometry().bottom();
    if (event->button() == Qt::LeftButton && onStrip) {
        emit leftDoubleClicked();
        event->accept();
        return;
    }
    QTabWidget::mouseDoubleClickEvent(event);
}
