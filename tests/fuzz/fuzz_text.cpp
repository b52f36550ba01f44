#include "Unit_func.h"

#include <QString>

#include <cstddef>
#include <cstdint>

// The URL and answer helpers on arbitrary text: no crash, no hang, and the results keep their
// promises (a value is a substring of the url, decoding never grows the text).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const int cut = text.indexOf(QLatin1Char('\n'));
    const QString url = cut < 0 ? text : text.left(cut);
    const QString name = cut < 0 ? QStringLiteral("cpp_url") : text.mid(cut + 1, 12);

    const QString value = GetUrlParam(url, name);
    if (!url.contains(value))
        __builtin_trap();
    if (UnescapeUrlText(text).size() > text.size())
        __builtin_trap();
    FormDecode(text);
    SplitFields(text, QLatin1Char('|'));
    SplitFields(text, QLatin1Char(';'));
    ReplaceAllIgnoreCase(text, QStringLiteral("?"), QStringLiteral("&"));
    ReplaceAllIgnoreCase(text, name, QString());
    CaptionForTitle(text);
    return 0;
}
