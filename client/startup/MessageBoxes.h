#pragma once

#include <QString>

#include <functional>

// Every modal message box of the client goes through here, so tests can answer them.
enum class BoxButtons { Ok, OkCancel };
enum class BoxIcon { None, Information, Question, Error };
enum class BoxAnswer { Ok, Cancel };

struct MessageBoxRequest
{
    QString text;
    QString caption;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
};

// Shows a modal box owned by no window; returns the button chosen (closing counts as Cancel).
BoxAnswer ShowMessageBox(const MessageBoxRequest &request);

// Test seam: while a handler is set, it answers every box instead of the user and no box is shown.
using MessageBoxHandler = std::function<BoxAnswer(const MessageBoxRequest &)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

// OK and Cancel with a question mark; true only for OK.
bool AskOkCancel(const QString &message, const QString &caption);
// A single OK button, no icon.
void ShowInfo(const QString &message, const QString &caption);
