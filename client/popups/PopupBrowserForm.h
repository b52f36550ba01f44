#pragma once

#include "PopupCommands.h"
#include "PopupPlacement.h"

#include <QWidget>

class TCppWebBrowser;

// What the plain and the framed pop-up have in common towards their pages: the title rule,
// script geometry applied at each navigation, the command URLs, focus after downloads, and
// freeing themselves when closed.
//
// Closing is deferred while one of the window's own handlers runs (they let events run between
// their steps), so a window is never destroyed under its own feet; its page goes as soon as no
// handler of the window is on the stack.
class PopupBrowserForm : public QWidget
{
    Q_OBJECT

public:
    // The browser; filling the window or its panel.
    TCppWebBrowser *ie1 = nullptr;

    PendingGeometry pendingGeometry() const { return {PendingLeft, PendingTop, PendingWidth, PendingHeight}; }
    // The dialog result; 1 (OK) once a page sent "&cpp_login_ok=".
    int ModalResult() const { return m_modalResult; }
    // True from the moment the window was closed until it is gone.
    bool isClosing() const { return m_closing; }

    // Places the window in the centre of the primary screen (as openers do before showing it).
    void centreOnScreen();

protected:
    explicit PopupBrowserForm(QWidget *parent = nullptr);

    void closeEvent(QCloseEvent *event) override;

private:
    // Marks one of the window's own handlers as running.
    class HandlerScope;

    void FormClose(QCloseEvent *event);
    void ie1TitleChange(const QString &title);
    void ie1WindowSetLeft(int left) { PendingLeft = left; }
    void ie1WindowSetTop(int top) { PendingTop = top; }
    void ie1WindowSetWidth(int width) { PendingWidth = width; }
    void ie1WindowSetHeight(int height) { PendingHeight = height; }
    void ie1BeforeNavigate2(const QString &url, bool &cancel);
    void ie1DownloadComplete();

    // Carries the effects out in order; true when the navigation is to be cancelled.
    bool carryOut(const QList<PopupEffect> &effects);
    void leaveHandler();
    void freeNow();

    int PendingLeft = -1;
    int PendingTop = -1;
    int PendingWidth = -1;
    int PendingHeight = -1;
    int m_modalResult = 0;
    int m_handlerDepth = 0;
    bool m_closing = false;
    bool m_freeWhenIdle = false;
};

// Opens or reuses a plain pop-up for an open-window command, sizes and places it, loads the page,
// shows and focuses it, letting events run between the steps.
// Nothing happens for an address that is no http or https one, nor for a new window once
// kMostPopupWindows plain pop-ups are open.
void OpenPopupWindow(const OpenWindowRequest &request);
