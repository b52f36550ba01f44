#include "AppWindows.h"

#include <QPointer>

#include <cstring>

namespace {

QList<QPointer<QWidget>> &registry()
{
    static QList<QPointer<QWidget>> windows;
    return windows;
}

} // namespace

void RegisterAppWindow(QWidget *window)
{
    registry().removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
    registry().append(window);
}

QList<QWidget *> AppWindows()
{
    QList<QWidget *> alive;
    for (const QPointer<QWidget> &w : registry()) {
        if (w)
            alive.append(w.data());
    }
    return alive;
}

QWidget *LastAppWindowOfClass(const char *className)
{
    const QList<QWidget *> windows = AppWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (std::strcmp((*it)->metaObject()->className(), className) == 0)
            return *it;
    }
    return nullptr;
}

void DestroyAppWindows()
{
    const QList<QWidget *> windows = AppWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        delete *it;
    registry().clear();
}
