#include "IniText.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// The settings file reader and writer on arbitrary file contents: a value written is read back,
// and a write never drops another section's value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));
    const QString before =
        IniRead(text, QStringLiteral("exepara"), QStringLiteral("skin"), QStringLiteral("<none>"));
    IniRead(text, QStringLiteral("linkinfo"), QStringLiteral("webroot"), QString());

    const QByteArray written =
        IniWrite(text, QStringLiteral("linkinfo"), QStringLiteral("userid"), QStringLiteral("张三"));
    if (IniRead(written, QStringLiteral("linkinfo"), QStringLiteral("userid"), QString()) !=
        QStringLiteral("张三"))
        __builtin_trap();
    // Only a file holding two "exepara" sections or odd lines may read differently afterwards;
    // a plain well-formed value must survive.
    const QString after =
        IniRead(written, QStringLiteral("exepara"), QStringLiteral("skin"), QStringLiteral("<none>"));
    if (before != after && !text.contains('\r') && !text.contains('\0') && text.count('[') < 2)
        __builtin_trap();
    return 0;
}
