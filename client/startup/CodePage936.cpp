#include "CodePage936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const char *const kGb18030 = "GB18030";

} // namespace

std::optional<QString> FromCodePage936(const QByteArray &bytes)
{
    QStringDecoder decoder(kGb18030, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    // The converter does not always report bytes it could not read; a round trip does.
    if (decoder.hasError() || ToCodePage936(text) != bytes)
        return std::nullopt;
    return text;
}

QByteArray ToCodePage936(const QString &text)
{
    QStringEncoder encoder(kGb18030, QStringEncoder::Flag::Stateless);
    return encoder.isValid() ? QByteArray(encoder.encode(text)) : QByteArray();
}

int CodePage936Bytes(char32_t character)
{
    if (character < 0x80)
        return 1;
    // The code page's one single-byte character beyond ASCII.
    if (character == 0x20AC)
        return 1;
    static QStringEncoder encoder(kGb18030, QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        return 2;
    const char32_t one[] = {character};
    const QByteArray bytes = encoder.encode(QString::fromUcs4(one, 1));
    // Two bytes is the code page's own range; GB18030's four-byte forms lie outside it.
    return bytes.size() == 2 ? 2 : 1;
}
