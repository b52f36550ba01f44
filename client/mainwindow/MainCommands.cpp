#include "MainCommands.h"

#include "Unit_func.h"

#include <QRegularExpression>

namespace {

std::optional<int> WholeNumber(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

LinkPopupRequest LinkPopupOf(const QString &url)
{
    LinkPopupRequest request;
    // "newwin=" alone sends the command URL itself to the pop-up.
    request.address = url.contains(QLatin1String("&cpp_open_win="))
                          ? FormDecode(GetUrlParam(url, QStringLiteral("cpp_url")))
                          : url;
    const QString left = GetUrlParam(url, QStringLiteral("cpp_left"));
    const QString top = GetUrlParam(url, QStringLiteral("cpp_top"));
    const QString width = GetUrlParam(url, QStringLiteral("cpp_width"));
    const QString height = GetUrlParam(url, QStringLiteral("cpp_height"));
    request.width = WholeNumber(width);
    request.height = WholeNumber(height);
    // Any of the four may say "center"; numeric positions are not applied.
    request.centre = (left + top + width + height).toLower().contains(QLatin1String("center"));
    return request;
}

} // namespace

HeadCommand InterpretHeadUrl(const QString &url)
{
    struct Rule
    {
        const char *key;
        HeadCommandKind kind;
    };
    static const Rule rules[] = {
        {"action=close", HeadCommandKind::Close},    {"action=max", HeadCommandKind::Max},
        {"action=min", HeadCommandKind::Min},        {"action=refresh", HeadCommandKind::Refresh},
        {"newwin=", HeadCommandKind::OpenLinkPopup}, {"&cpp_open_win=", HeadCommandKind::OpenLinkPopup},
    };
    HeadCommand command;
    for (const Rule &rule : rules) {
        if (!url.contains(QLatin1String(rule.key)))
            continue;
        command.kind = rule.kind;
        if (rule.kind == HeadCommandKind::OpenLinkPopup)
            command.popup = LinkPopupOf(url);
        break;
    }
    return command;
}

QString WebAddressOf(const QString &link)
{
    // "name:" with no dot in the name and no port number after it is a scheme of its own
    // ("mailto:", "javascript:"); everything else without "://" is a host name.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?!\\d+(/|$))"));
    if (link.contains(QLatin1String("://")) ||
        (link.contains(scheme) && !link.section(QLatin1Char(':'), 0, 0).contains(QLatin1Char('.'))))
        return link;
    return QStringLiteral("http://") + link;
}

BodyCommand InterpretBodyUrl(const QString &url, const QString &homeAddress)
{
    BodyCommand command;
    if (!url.contains(QLatin1String("kw730")))
        return command;
    struct Rule
    {
        const char *key;
        BodyCommandKind kind;
    };
    static const Rule rules[] = {
        {"tarwin=1", BodyCommandKind::NewTab},        {"tarwin=2", BodyCommandKind::NewVideo},
        {"action=refresh", BodyCommandKind::Refresh}, {"action=back", BodyCommandKind::Back},
        {"action=next", BodyCommandKind::Next},       {"action=webhome", BodyCommandKind::WebHome},
        {"action=skin", BodyCommandKind::Skin},
    };
    for (const Rule &rule : rules) {
        if (!url.contains(QLatin1String(rule.key)))
            continue;
        command.kind = rule.kind;
        if (rule.kind == BodyCommandKind::WebHome) {
            const QString link = GetUrlParam(url, QStringLiteral("linkinfo"));
            command.address = link.isEmpty() ? homeAddress : WebAddressOf(link);
        } else if (rule.kind == BodyCommandKind::NewTab || rule.kind == BodyCommandKind::NewVideo ||
                   rule.kind == BodyCommandKind::Skin) {
            command.address = url;
        }
        break;
    }
    return command;
}

QString SkinRequestUrl(const QString &url, int randomNumber, const QString &timeText)
{
    return url + QLatin1String("&rangdt=") + QString::number(randomNumber) + timeText;
}

QString SkinOfRequest(const QString &requestUrl)
{
    return GetUrlParam(requestUrl, QStringLiteral("skin"));
}

std::optional<QString> SkinToStore(const QString &requestUrl)
{
    const QString skin = SkinOfRequest(requestUrl);
    if (skin.size() > kLongestStoredSkin)
        return std::nullopt;
    return skin;
}
