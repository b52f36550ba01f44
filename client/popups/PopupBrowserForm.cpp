#include "PopupBrowserForm.h"

#include "CppWebBrowser.h"
#include "MessageBoxes.h"
#include "Unit_func.h"
#include "client/widgets/WindowMoves.h"

#include <QCloseEvent>

class PopupBrowserForm::HandlerScope
{
public:
    explicit HandlerScope(PopupBrowserForm *form)
        : m_form(form)
    {
        ++m_form->m_handlerDepth;
    }
    ~HandlerScope() { m_form->leaveHandler(); }
    HandlerScope(const HandlerScope &) = delete;
    HandlerScope &operator=(const HandlerScope &) = delete;

private:
    PopupBrowserForm *m_form;
};

PopupBrowserForm::PopupBrowserForm(QWidget *parent)
    // A tool window: no task-bar entry of its own.
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , ie1(new TCppWebBrowser(this))
{
    ie1->setObjectName(QStringLiteral("ie1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Telvar投资"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    // FormCreate: no dialogs of the browser's own; nothing asked for yet. The browser is not
    // navigated here: a spare window costs no page until it is used.
    ie1->setSilent(true);
    ie1->setRetryOffline(true);
    connect(ie1, &TCppWebBrowser::OnTitleChange, this, &PopupBrowserForm::ie1TitleChange);
    connect(ie1, &TCppWebBrowser::OnWindowSetLeft, this, &PopupBrowserForm::ie1WindowSetLeft);
    connect(ie1, &TCppWebBrowser::OnWindowSetTop, this, &PopupBrowserForm::ie1WindowSetTop);
    connect(ie1, &TCppWebBrowser::OnWindowSetWidth, this, &PopupBrowserForm::ie1WindowSetWidth);
    connect(ie1, &TCppWebBrowser::OnWindowSetHeight, this, &PopupBrowserForm::ie1WindowSetHeight);
    ie1->setCommandTest([](const QString &url) { return !InterpretPopupCommand(url).isEmpty(); });
    connect(ie1, &TCppWebBrowser::OnBeforeNavigate2, this, &PopupBrowserForm::ie1BeforeNavigate2);
    connect(ie1, &TCppWebBrowser::OnDownloadComplete, this, &PopupBrowserForm::ie1DownloadComplete);
}

void PopupBrowserForm::closeEvent(QCloseEvent *event)
{
    FormClose(event);
}

void PopupBrowserForm::FormClose(QCloseEvent *event)
{
    event->accept();
    m_closing = true;
    if (m_handlerDepth > 0) {
        // A handler of this window is still at work (and may let events run): free the window
        // once it has returned, not when the event loop next gets the chance.
        setAttribute(Qt::WA_DeleteOnClose, false);
        m_freeWhenIdle = true;
        return;
    }
    // Deleted later by WA_DeleteOnClose; the page need not wait for that.
    ie1->releasePage();
}

void PopupBrowserForm::leaveHandler()
{
    if (--m_handlerDepth > 0 || !m_freeWhenIdle)
        return;
    m_freeWhenIdle = false;
    // Still inside the browser's own event: the page goes right after it, the window with it.
    QMetaObject::invokeMethod(this, &PopupBrowserForm::freeNow, Qt::QueuedConnection);
}

void PopupBrowserForm::freeNow()
{
    ie1->releasePage();
    deleteLater();
}

void PopupBrowserForm::centreOnScreen()
{
    CentreOnScreen(this, CentreArea::WholeScreen);
}

void PopupBrowserForm::ie1TitleChange(const QString &title)
{
    setWindowTitle(CaptionForTitle(title));
}

void PopupBrowserForm::ie1BeforeNavigate2(const QString &url, bool &cancel)
{
    const HandlerScope scope(this);
    // The last geometry the page's script asked for holds again at every navigation.
    const QRect wanted = ApplyPendingGeometry(pendingGeometry(), geometry(), CurrentScreenLayout());
    if (wanted != geometry())
        setGeometry(wanted);
    cancel = carryOut(InterpretPopupCommand(url));
}

bool PopupBrowserForm::carryOut(const QList<PopupEffect> &effects)
{
    bool cancel = false;
    for (const PopupEffect &effect : effects) {
        switch (effect.kind) {
        case PopupEffectKind::ShowAlert:
            ShowMessageBox({effect.text, QStringLiteral("信息和提示"), BoxButtons::Ok, BoxIcon::None});
            break;
        case PopupEffectKind::Cancel:
            cancel = true;
            break;
        case PopupEffectKind::SetDialogResult:
            m_modalResult = 1;
            break;
        case PopupEffectKind::Close:
            close();
            break;
        case PopupEffectKind::OpenWindow:
            OpenPopupWindow(effect.open);
            break;
        }
    }
    return cancel;
}

void PopupBrowserForm::ie1DownloadComplete()
{
    if (isVisible() && isEnabled())
        activateWindow();
}
