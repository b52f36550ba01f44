#include "PageWindowRules.h"

#include "CodePage936.h"
#include "Unit_func.h"

int CodePageBytes(char32_t character)
{
    return CodePage936Bytes(character);
}

TabTitleTexts TabTitleFor(const QString &title)
{
    TabTitleTexts texts;
    texts.status = CaptionForTitle(title);
    int bytes = 0;
    const QList<uint> characters = texts.status.toUcs4();
    int units = 0; // UTF-16 units taken so far
    for (const uint character : characters) {
        bytes += CodePageBytes(character);
        if (bytes > kTabCaptionBytes)
            break;
        units += QChar::requiresSurrogates(character) ? 2 : 1;
    }
    texts.caption = texts.status.left(units);
    return texts;
}

std::optional<QString> ProgressStatusText(int progress, int maximum)
{
    if (maximum == 0)
        return std::nullopt;
    // Truncated toward zero; wide enough for any pair of ints.
    const auto percent = static_cast<qint64>(progress * 100.0 / maximum);
    return QStringLiteral(" %1%, %2 / %3").arg(percent).arg(progress).arg(maximum);
}

QPoint VideoWindowPosition(const QRect &screen, const QSize &outer)
{
    return screen.topLeft() +
           QPoint(screen.width() - outer.width() - 10, screen.height() - outer.height() - 40);
}
