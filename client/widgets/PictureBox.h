#pragma once

#include <QLabel>
#include <QPixmap>

// A picture or transparent text label that reports presses and clicks, for the frameless windows'
// backgrounds, title pictures and clickable captions.
class PictureBox : public QLabel
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

signals:
    void mouseDown(Qt::MouseButton button);
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_leftDown = false;
};

// A picture of the client's resources by file name ("login_back.png").
QPixmap ClientPicture(const QString &name);
