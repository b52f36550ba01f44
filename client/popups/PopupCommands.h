#pragma once

#include <QList>
#include <QString>

// What the command URLs of the pop-up windows ask for. Pure: a URL goes in, the effects come out
// in the order they are to be carried out; the windows only do what the list says.

// The parameters of an open-window command, read from the URL.
struct OpenWindowRequest
{
    QString url; // the address to load, already form-decoded
    QString left;
    QString top;
    QString width;
    QString height;
    QString target;
    QString borderStyle; // read, never used: the pop-ups keep their own frame

    bool operator==(const OpenWindowRequest &other) const;
};

enum class PopupEffectKind {
    ShowAlert,       // a modal box with `text`; the next effect waits for it
    Cancel,          // the navigation that carried the command does not go ahead
    SetDialogResult, // the window's dialog result becomes OK
    Close,           // the window closes (and frees itself)
    OpenWindow,      // open or reuse a pop-up browser window with `open`
};

struct PopupEffect
{
    PopupEffectKind kind;
    QString text;           // ShowAlert only: the whole text of the box
    OpenWindowRequest open; // OpenWindow only

    bool operator==(const PopupEffect &other) const;
};

// The effects of one navigation of a pop-up's browser. Commands are found anywhere in the URL
// after every "?" has become "&", and always run in the same order whatever their order in the
// URL: alert, abort, dialog result, close, open window. Empty for an ordinary page.
QList<PopupEffect> InterpretPopupCommand(const QString &url);

// True when the effects include a Cancel.
bool CancelsNavigation(const QList<PopupEffect> &effects);

// The parameters of an open-window command in the (already rewritten) URL.
OpenWindowRequest ReadOpenWindowRequest(const QString &url);

// One window as the open-window command sees it when it looks for a named one.
struct PopupWindowEntry
{
    QString className;
    QString targetName;
};

// Index of the window that an open-window command with `target` reuses, or -1 for a new one.
// Only plain pop-ups ("TfrmIE") count, the name is compared exactly, the last match wins, and an
// empty target never matches.
int ChooseTargetWindow(const QList<PopupWindowEntry> &windows, const QString &target);

// The link pop-up's own page commands; the first that matches decides.
enum class LinkPopupCommand {
    None,    // navigate normally
    Hide,    // "action=close" or "action=min": hide, blank the page, cancel
    Refresh, // "action=refresh": cancel, then reload once the browser is idle
};
LinkPopupCommand InterpretLinkPopupCommand(const QString &url);

// True when the message sprite's page asks it to close ("action=close").
bool SpriteClosesFor(const QString &url);
