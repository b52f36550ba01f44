#include "PopupCommands.h"

#include "Unit_func.h"

bool OpenWindowRequest::operator==(const OpenWindowRequest &other) const
{
    return url == other.url && left == other.left && top == other.top && width == other.width &&
           height == other.height && target == other.target && borderStyle == other.borderStyle;
}

bool PopupEffect::operator==(const PopupEffect &other) const
{
    return kind == other.kind && text == other.text && open == other.open;
}

OpenWindowRequest ReadOpenWindowRequest(const QString &url)
{
    OpenWindowRequest request;
    request.url = FormDecode(GetUrlParam(url, QStringLiteral("cpp_url")));
    request.left = GetUrlParam(url, QStringLiteral("cpp_left"));
    request.top = GetUrlParam(url, QStringLiteral("cpp_top"));
    request.width = GetUrlParam(url, QStringLiteral("cpp_width"));
    request.height = GetUrlParam(url, QStringLiteral("cpp_height"));
    request.target = GetUrlParam(url, QStringLiteral("cpp_target"));
    request.borderStyle = GetUrlParam(url, QStringLiteral("cpp_BorderStyle"));
    return request;
}

QList<PopupEffect> InterpretPopupCommand(const QString &url)
{
    // A command may follow "?" as well as "&"; a "?" inside a value therefore ends it.
    const QString copy = ReplaceAllIgnoreCase(url, QStringLiteral("?"), QStringLiteral("&"));
    const auto has = [&copy](const char *key) { return copy.contains(QLatin1String(key)); };

    QList<PopupEffect> effects;
    const auto add = [&effects](PopupEffectKind kind) { effects.append(PopupEffect{kind, {}, {}}); };

    if (has("&cpp_alert=")) {
        // Alert text is escape-decoded, not form-decoded: a "+" stays a plus sign.
        const QString text = UnescapeUrlText(GetUrlParam(copy, QStringLiteral("cpp_alert")));
        effects.append(
            PopupEffect{PopupEffectKind::ShowAlert, QLatin1Char('\n') + text + QLatin1Char('\n'), {}});
        add(PopupEffectKind::Cancel);
    }
    if (has("&cpp_abort="))
        add(PopupEffectKind::Cancel);
    if (has("&cpp_login_ok="))
        add(PopupEffectKind::SetDialogResult);
    if (has("&cpp_close=")) {
        add(PopupEffectKind::Close);
        add(PopupEffectKind::Cancel);
    }
    if (has("&cpp_open_win=")) {
        effects.append(PopupEffect{PopupEffectKind::OpenWindow, {}, ReadOpenWindowRequest(copy)});
        add(PopupEffectKind::Cancel);
    }
    return effects;
}

bool CancelsNavigation(const QList<PopupEffect> &effects)
{
    for (const PopupEffect &effect : effects) {
        if (effect.kind == PopupEffectKind::Cancel)
            return true;
    }
    return false;
}

int ChooseTargetWindow(const QList<PopupWindowEntry> &windows, const QString &target)
{
    if (target.isEmpty())
        return -1;
    int chosen = -1;
    for (int i = 0; i < windows.size(); ++i) {
        if (windows.at(i).className == QLatin1String("TfrmIE") && windows.at(i).targetName == target)
            chosen = i;
    }
    return chosen;
}

LinkPopupCommand InterpretLinkPopupCommand(const QString &url)
{
    if (url.contains(QLatin1String("action=close")) || url.contains(QLatin1String("action=min")))
        return LinkPopupCommand::Hide;
    if (url.contains(QLatin1String("action=refresh")))
        return LinkPopupCommand::Refresh;
    return LinkPopupCommand::None;
}

bool SpriteClosesFor(const QString &url)
{
    return url.contains(QLatin1String("action=close"));
}
