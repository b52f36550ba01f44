#pragma once

#include <QString>

#include <functional>

// Every prompt of the upgrader goes through here, so tests can answer them.
struct PromptRequest
{
    QString text;
    QString caption;
};

// A modal box of the application with an OK button only and no icon; returns once dismissed.
void ShowPrompt(const QString &text);

// Test seam: while a handler is set, it answers every prompt instead of the user and no box is shown.
using PromptHandler = std::function<void(const PromptRequest &)>;
void SetPromptHandler(PromptHandler handler);
