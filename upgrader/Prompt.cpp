#include "Prompt.h"

#include <QMessageBox>

namespace {

PromptHandler &installedHandler()
{
    static PromptHandler handler;
    return handler;
}

} // namespace

void ShowPrompt(const QString &text)
{
    const PromptRequest request{text, QStringLiteral("提示信息")};
    if (installedHandler()) {
        installedHandler()(request);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, request.caption, request.text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("ShowPrompt"));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void SetPromptHandler(PromptHandler handler)
{
    installedHandler() = std::move(handler);
}
