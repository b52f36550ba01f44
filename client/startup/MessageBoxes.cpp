#include "MessageBoxes.h"

#include "BrowserWait.h"

#include <QMessageBox>

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
