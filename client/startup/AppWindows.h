#pragma once

#include <QList>
#include <QWidget>

// The product's title, as the application title and the tray's hint.
inline constexpr char kApplicationTitle[] = "Sorvane金融终端";

// The application's windows in the order they were created: the list that window searches walk
// ("the last one whose class is ..."). The application owns them; pop-ups that free themselves on
// close drop out of the list by themselves.

void RegisterAppWindow(QWidget *window);
QList<QWidget *> AppWindows();

// The last live window of exactly that class name (not a subclass).
QWidget *LastAppWindowOfClass(const char *className);

// Creates a top-level window owned by the application.
template <typename Form, typename... Args> Form *CreateForm(Args &&...args)
{
    auto *form = new Form(std::forward<Args>(args)...);
    RegisterAppWindow(form);
    return form;
}

// Destroys every window still alive, newest first. Run before the browser engine goes away.
void DestroyAppWindows();
