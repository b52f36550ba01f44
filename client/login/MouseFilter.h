#pragma once

#include <QObject>

class QMouseEvent;
class QWidget;

// The application-wide mouse filter of the login window: right presses never reach any window
// of the client (so no context menu opens), and a left press in the top band of certain pages
// moves their frameless window.
class MouseFilter : public QObject
{
    Q_OBJECT

public:
    explicit MouseFilter(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void leftPress(QWidget *receiver, QMouseEvent *event);

    // A press propagating to parent widgets is the same event; it is looked at once.
    const QEvent *m_lastPress = nullptr;
    quint64 m_lastPressTime = 0;
};
