#include "PopupBrowserForm.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "FloodLimits.h"
#include "NavigationTrust.h"
#include "Unit_ie.h"
#include "client/widgets/WindowMoves.h"

#include <QPointer>

namespace {

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
    const ScreenLayout screens = CurrentScreenLayout();
    QPointer<TfrmIE> window = findTargetWindow(request.target);
    QRect current = window ? window->geometry() : QRect();
    if (!window) {
        if (livePlainPopups() >= kMostPopupWindows)
            return;
        window = CreateForm<TfrmIE>();
        if (!request.target.isEmpty())
            window->setTargetName(request.target);
        // Not where the window system would put it: on the primary monitor, also for the edge a
        // command leaves out.
        current = PopupStartGeometry(window->size(), screens);
    }

    const PopupGeometryPlan plan =
        PlanPopupGeometry(request.left, request.top, request.width, request.height);
    const QRect wanted = ApplyPopupGeometry(plan, current, screens);
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
