#pragma once

#include "CppWebBrowser.h"

#include <QLabel>

// The pop-up windows' components that the login window uses, by their names: the member when the
// window class declares it, otherwise the child of that object name.

// Member access is tried first (the int overload), the object name second.
struct PopupPartsLookup
{
    template <typename Form>
    static auto browser(Form *form, int) -> decltype(static_cast<TCppWebBrowser *>(form->ie1))
    {
        return form->ie1;
    }
    template <typename Form> static TCppWebBrowser *browser(Form *form, long)
    {
        return form->template findChild<TCppWebBrowser *>(QStringLiteral("ie1"));
    }

    template <typename Form>
    static auto spriteBrowser(Form *form, int) -> decltype(static_cast<TCppWebBrowser *>(form->web1))
    {
        return form->web1;
    }
    template <typename Form> static TCppWebBrowser *spriteBrowser(Form *form, long)
    {
        return form->template findChild<TCppWebBrowser *>(QStringLiteral("web1"));
    }

    template <typename Form>
    static auto titleLabel(Form *form, int) -> decltype(static_cast<QLabel *>(form->LabelTitle))
    {
        return form->LabelTitle;
    }
    template <typename Form> static QLabel *titleLabel(Form *form, long)
    {
        return form->template findChild<QLabel *>(QStringLiteral("LabelTitle"));
    }
};

// `ie1` of a pop-up window (framed pop-up, link pop-up).
template <typename Form> TCppWebBrowser *PopupBrowser(Form *form)
{
    return form ? PopupPartsLookup::browser(form, 0) : nullptr;
}

// `web1` of the message sprite.
template <typename Form> TCppWebBrowser *SpriteBrowser(Form *form)
{
    return form ? PopupPartsLookup::spriteBrowser(form, 0) : nullptr;
}

// `LabelTitle` of the framed pop-up.
template <typename Form> QLabel *PopupTitleLabel(Form *form)
{
    return form ? PopupPartsLookup::titleLabel(form, 0) : nullptr;
}
