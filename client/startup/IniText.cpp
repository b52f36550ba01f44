#include "IniText.h"

#include <QList>

namespace {

// Splits into lines keeping nothing of the line ends; remembers whether the text used CRLF.
QList<QByteArray> splitLines(const QByteArray &text, bool *crlf)
{
    *crlf = text.contains("\r\n");
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The section a line opens, or a null string when it opens none.
QString sectionOf(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('[') || !trimmed.endsWith(']'))
        return {};
    return QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2)).trimmed();
}

bool isKeyLine(const QByteArray &line, const QString &key, QByteArray *value)
{
    const int eq = line.indexOf('=');
    if (eq <= 0)
        return false;
    const QString name = QString::fromUtf8(line.left(eq)).trimmed();
    if (name.compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1);
    return true;
}

QString cleanValue(const QByteArray &raw)
{
    QString value = QString::fromUtf8(raw).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

// Values are written on one line: line breaks in a value would open new keys.
QByteArray oneLine(const QString &value)
{
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return flat.toUtf8();
}

} // namespace

QString IniRead(const QByteArray &text, const QString &section, const QString &key, const QString &fallback)
{
    bool crlf = false;
    bool inSection = false;
    for (const QByteArray &line : splitLines(text, &crlf)) {
        const QString opened = sectionOf(line);
        if (!opened.isNull()) {
            inSection = opened.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QByteArray raw;
        if (inSection && isKeyLine(line, key, &raw))
            return cleanValue(raw);
    }
    return fallback;
}

QByteArray IniWrite(const QByteArray &text, const QString &section, const QString &key, const QString &value)
{
    bool crlf = false;
    QList<QByteArray> lines = splitLines(text, &crlf);
    const QByteArray entry = key.toUtf8() + '=' + oneLine(value);

    int sectionStart = -1;
    int sectionEnd = -1; // one past the section's last non-blank line
    for (int i = 0; i < lines.size(); ++i) {
        const QString opened = sectionOf(lines.at(i));
        if (!opened.isNull()) {
            if (sectionStart >= 0)
                break;
            if (opened.compare(section, Qt::CaseInsensitive) == 0)
                sectionStart = sectionEnd = i + 1;
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (isKeyLine(lines.at(i), key, nullptr)) {
            lines[i] = entry;
            sectionStart = -2; // replaced
            break;
        }
        if (!lines.at(i).trimmed().isEmpty())
            sectionEnd = i + 1;
    }
    if (sectionStart == -1) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QByteArray();
        lines << '[' + section.toUtf8() + ']' << entry;
    } else if (sectionStart >= 0) {
        lines.insert(sectionEnd, entry);
    }

    const QByteArray eol = crlf ? QByteArray("\r\n") : QByteArray("\n");
    QByteArray result = lines.join(eol);
    result += eol;
    return result;
}
