#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text in the Chinese Windows code page (936), read and written as GB18030, which holds all of it
// and every other character besides.

// The text of bytes that read back whole as GB18030; nothing when they do not.
std::optional<QString> FromCodePage936(const QByteArray &bytes);
QByteArray ToCodePage936(const QString &text);

// Bytes one character takes in code page 936: 1 for ASCII and for what the code page cannot hold
// (it becomes "?" there), otherwise 2.
int CodePage936Bytes(char32_t character);
