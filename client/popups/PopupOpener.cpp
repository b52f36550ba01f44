#include "PopupBrowserForm.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "FloodLimits.h"
#include "NavigationTrust.h"
#include "Unit_ie.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {

ScreenMetrics primaryScreenMetrics()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return {screen->geometry().size(), screen->size(), screen->availableGeometry().size()};
}

// The plain pop-up that carries `target`, if one is alive; a closed one no longer counts.
TfrmIE *findTargetWindow(const QString &target)
{
    const QList<QWidget *> windows = AppWindows();
    QList<PopupWindowEntry> entries;
    QList<TfrmIE *> forms;
    for (QWidget *window : windows) {
        auto *form = qobject_cast<TfrmIE *>(window);
        if (form && form->isClosing())
            continue;
        entries.append(
            {QString::fromLatin1(window->metaObject()->className()), form ? form->TargetName() : QString()});
        forms.append(form);
    }
    const int chosen = ChooseTargetWindow(entries, target);
    return chosen < 0 ? nullptr : forms.at(chosen);
}

int livePlainPopups()
{
    int count = 0;
    for (QWidget *window : AppWindows()) {
        const auto *form = qobject_cast<TfrmIE *>(window);
        if (form && !form->isClosing())
            ++count;
    }
    return count;
}

} // namespace

void OpenPopupWindow(const OpenWindowRequest &request)
{
    // Only web pages go into a frameless window on top of everything.
    if (!IsLoadableAddress(request.url))
        return;
    QPointer<TfrmIE> window = findTargetWindow(request.target);
    if (!window) {
        if (livePlainPopups() >= kMostPopupWindows)
            return;
        window = CreateForm<TfrmIE>();
        if (!request.target.isEmpty())
            window->setTargetName(request.target);
    }

    const PopupGeometryPlan plan =
        PlanPopupGeometry(request.left, request.top, request.width, request.height);
    const QRect wanted = ApplyPopupGeometry(plan, window->geometry(), primaryScreenMetrics());
    // Untouched, a new window is placed by the window manager.
    if (wanted != window->geometry())
        window->setGeometry(wanted);

    // Events run between the steps; the window may close meanwhile, and then the rest is dropped.
    const auto gone = [&window] { return !window || window->isClosing(); };
    window->ie1->Navigate(request.url);
    PumpEvents();
    if (gone())
        return;
    window->ie1->setRegisterAsBrowser(true);
    PumpEvents();
    if (gone())
        return;
    window->show();
    PumpEvents();
    if (gone())
        return;
    window->activateWindow();
    window->ie1->setFocus();
    PumpEvents();
}
