#include "PictureBox.h"

#include "SharpPicture.h"

#include <QMouseEvent>

PictureBox::PictureBox(QWidget *parent)
    : QLabel(parent)
{}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_leftDown = event->button() == Qt::LeftButton;
    emit mouseDown(event->button());
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    // A press that started a window move never comes back here, so it is no click.
    const bool click =
        m_leftDown && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_leftDown = false;
    event->accept();
    if (click)
        emit clicked();
}

static void loadPictureResources()
{
    // The pictures live in a static library; their registration has to be pulled in by name.
    Q_INIT_RESOURCE(resources);
}

QPixmap ClientPicture(const QString &name)
{
    static const bool loaded = (loadPictureResources(), true);
    Q_UNUSED(loaded);
    return SharpPicture(QStringLiteral(":/pictures/") + name);
}
