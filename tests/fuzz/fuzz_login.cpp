#include "LoginDecisions.h"
#include "VersionCheck.h"

#include <QString>

#include <cstddef>
#include <cstdint>

// The login answer and the version page on arbitrary text: no crash, and the version comparison
// stays an order (antisymmetric, equal only to itself).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    InterpretLoginAnswer(text);
    TrimLoginText(text);
    LoginAddress({QStringLiteral("http://127.0.0.1"), QStringLiteral("0A1B2C3D"), QStringLiteral("3.0.05"),
                  text, text, QStringLiteral("000")});

    const VersionFields fields = TakeVersionFields(text, VersionFields{});
    OffersNewVersion(fields, QStringLiteral("3.0.05"));
    VersionExpired(fields, QStringLiteral("3.0.05"));
    for (const bool accepts : {true, false})
        DecideVersionCheck(text, VersionFields{}, QStringLiteral("3.0.05"), accepts);

    const int half = text.size() / 2;
    const QString a = text.left(half);
    const QString b = text.mid(half);
    const int ab = CompareVersionText(a, b);
    const int ba = CompareVersionText(b, a);
    if ((ab < 0) != (ba > 0) || (ab == 0) != (a == b))
        __builtin_trap();
    return 0;
}
