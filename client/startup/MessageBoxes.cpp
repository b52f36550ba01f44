#include "MessageBoxes.h"

#include "BrowserWait.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QWindow>

namespace {

MessageBoxHandler &installedHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon toQtIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The tray icon stays usable while a box is open, so "退出系统" can always be reached. On X11 the
// icon is a window of the client's own, which an application-modal box blocks like any other; as a
// transient of the box it counts as the box's own. The menu it opens is a pop-up, which no box blocks.
class TrayBesideBox
{
public:
    explicit TrayBesideBox(QWindow *box)
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            QWindow *window = widget->windowHandle();
            if (!window || widget->objectName() != QLatin1String("QSystemTrayIconSys"))
                continue;
            m_trays.append(Tray{window, window->transientParent()});
            window->setTransientParent(box);
        }
    }
    ~TrayBesideBox()
    {
        for (const Tray &tray : m_trays) {
            if (tray.window)
                tray.window->setTransientParent(tray.before);
        }
    }
    TrayBesideBox(const TrayBesideBox &) = delete;
    TrayBesideBox &operator=(const TrayBesideBox &) = delete;

private:
    struct Tray
    {
        QPointer<QWindow> window;
        QPointer<QWindow> before;
    };
    QList<Tray> m_trays;
};

} // namespace

BoxAnswer ShowMessageBox(const MessageBoxRequest &request)
{
    // A client on its way out asks nothing more; a box open when the quit came counts as Cancel.
    if (ApplicationQuitting())
        return BoxAnswer::Cancel;
    if (installedHandler())
        return installedHandler()(request);

    const QMessageBox::StandardButtons buttons =
        request.buttons == BoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    QMessageBox box(toQtIcon(request.icon), request.caption, request.text, buttons);
    // Texts come from pages: markup in them is shown as written, never rendered.
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.winId();
    const TrayBesideBox tray(box.windowHandle());
    const int answer = box.exec();
    return answer == QMessageBox::Ok && !ApplicationQuitting() ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    installedHandler() = std::move(handler);
}

bool AskOkCancel(const QString &message, const QString &caption)
{
    return ShowMessageBox({message, caption, BoxButtons::OkCancel, BoxIcon::Question}) == BoxAnswer::Ok;
}

void ShowInfo(const QString &message, const QString &caption)
{
    ShowMessageBox({message, caption, BoxButtons::Ok, BoxIcon::None});
}
