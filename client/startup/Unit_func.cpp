#include "Unit_func.h"

#include "platform/machineid.h"

namespace {

bool isFieldSpace(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

// The 256-entry digit table: hexadecimal digits give their value, everything else 63.
int digitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return 63;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QString GetUrlParam(const QString &url, const QString &name)
{
    if (url.isEmpty() || name.isEmpty())
        return {};
    const QString suffix = name + QLatin1Char('=');
    int at = url.indexOf(QLatin1Char('?') + suffix);
    if (at < 0)
        at = url.indexOf(QLatin1Char('&') + suffix);
    if (at < 0)
        return {};
    const QString rest = url.mid(at + 1 + suffix.size());
    const int amp = rest.indexOf(QLatin1Char('&'));
    return amp < 0 ? rest : rest.left(amp);
}

QString ReplaceAllIgnoreCase(const QString &text, const QString &pattern, const QString &replacement)
{
    if (pattern.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    int from = 0;
    while (true) {
        const int at = text.indexOf(pattern, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + pattern.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

QString UnescapeUrlText(const QString &text)
{
    QString result;
    result.reserve(text.size());
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('%')) {
            result += c;
            continue;
        }
        const int following = n - 1 - i;
        if (following >= 2 && text.at(i + 1) != QLatin1Char('u')) {
            const int code = (digitValue(text.at(i + 1)) * 16) | digitValue(text.at(i + 2));
            result += QChar(ushort(code));
            i += 2;
        } else if (following >= 5 && text.at(i + 1) == QLatin1Char('u')) {
            uint code = 0;
            for (int k = 2; k <= 5; ++k)
                code = (code * 16) | uint(digitValue(text.at(i + k)));
            result += QChar(ushort(code & 0xFFFF));
            i += 5;
        } else {
            result += c;
        }
    }
    return result;
}

QStringList SplitFields(const QString &text, QChar delimiter)
{
    QStringList fields;
    const int n = text.size();
    int i = 0;
    auto skipSpace = [&] {
        while (i < n && isFieldSpace(text.at(i)))
            ++i;
    };
    skipSpace();
    while (i < n) {
        QString field;
        if (text.at(i) == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text.at(i++);
            }
        } else {
            const int start = i;
            while (i < n && text.at(i) != delimiter && !isFieldSpace(text.at(i)))
                ++i;
            field = text.mid(start, i - start);
        }
        fields << field;
        skipSpace();
        if (i < n && text.at(i) == delimiter) {
            if (i == n - 1)
                fields << QString();
            ++i;
            skipSpace();
        }
    }
    return fields;
}

QString FormDecode(const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%' && i + 2 < bytes.size() && hexValue(bytes.at(i + 1)) >= 0 &&
                   hexValue(bytes.at(i + 2)) >= 0) {
            decoded += char(hexValue(bytes.at(i + 1)) * 16 + hexValue(bytes.at(i + 2)));
            i += 2;
        } else {
            decoded += c;
        }
    }
    return QString::fromUtf8(decoded);
}

QString ComputeMachineId()
{
    return platform::RootVolumeId();
}

QString CaptionForTitle(const QString &title)
{
    if (title.contains(QLatin1String("http://")) || title.contains(QLatin1String("https://")))
        return QStringLiteral("Telvar金融终端......");
    return title;
}
