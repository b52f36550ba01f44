#pragma once

#include <QString>

#include <optional>

// What the main window's page areas ask for with command URLs. Pure decisions: a URL goes in, a
// plain value comes out, and the main window's handlers carry it out. Keys are found by
// case-sensitive substring search in the whole URL; the first key that matches wins.

// The link pop-up as a head page asks for it.
struct LinkPopupRequest
{
    QString address;
    // Unset when the page gave no size or one that is not a whole number.
    std::optional<int> width;
    std::optional<int> height;
    bool centre = false;
};

enum class HeadCommandKind { None, Close, Max, Min, Refresh, OpenLinkPopup };

struct HeadCommand
{
    HeadCommandKind kind = HeadCommandKind::None;
    LinkPopupRequest popup; // for OpenLinkPopup
};

HeadCommand InterpretHeadUrl(const QString &url);

enum class BodyCommandKind { None, NewTab, NewVideo, Refresh, Back, Next, WebHome, Skin };

struct BodyCommand
{
    BodyCommandKind kind = BodyCommandKind::None;
    // NewTab, NewVideo and Skin: the whole URL, unchanged. WebHome: the address to open.
    QString address;
};

// Body pages are obeyed only on the portal's own addresses (those carrying "kw730").
// `homeAddress` is what "action=webhome" opens when the URL names no "linkinfo".
// "action=webhome"'s "linkinfo": a host name without a scheme is an http address.
QString WebAddressOf(const QString &link);

BodyCommand InterpretBodyUrl(const QString &url, const QString &homeAddress);

// The request the skin command sends: the URL with "&rangdt=", the random number and the time text
// appended, so no cache answers it.
QString SkinRequestUrl(const QString &url, int randomNumber, const QString &timeText);

// The skin the extended request names.
QString SkinOfRequest(const QString &requestUrl);

// The longest skin value written into the settings file; a page sends anything it likes.
constexpr int kLongestStoredSkin = 256;

// The skin to store from the extended request, or nothing when it is too long to be one.
std::optional<QString> SkinToStore(const QString &requestUrl);
