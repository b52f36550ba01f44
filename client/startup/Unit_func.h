#pragma once

#include <QString>
#include <QStringList>

// Text and URL helpers shared by every window. Pure functions: no state, no errors; odd input gives
// the results described at each function.

// The value of parameter `name` in `url`: the first "?name=" wins over any "&name=", the value runs
// to the next "&" or the end, and is returned undecoded ("#" fragments and "+" stay).
QString GetUrlParam(const QString &url, const QString &name);

// Replaces every non-overlapping occurrence of `pattern`, compared without regard to case.
QString ReplaceAllIgnoreCase(const QString &text, const QString &pattern, const QString &replacement);

// Decodes "%XX" and "%uXXXX" escapes into single UTF-16 code units; "+" stays a plus sign. A digit
// that is not hexadecimal counts as 63, as in the original digit table.
QString UnescapeUrlText(const QString &text);

// Splits a delimited answer: blanks and control characters separate fields too, double quotes
// group, a trailing delimiter gives one empty last field.
QStringList SplitFields(const QString &text, QChar delimiter);

// HTML form decoding of one parameter value: "+" is a blank and "%XX" a byte; the bytes are read
// as UTF-8. A "%" without two hexadecimal digits stays as it is.
QString FormDecode(const QString &value);

// Identity of this machine sent with each login: eight upper-case hexadecimal digits.
QString ComputeMachineId();

// A page title as a window caption: any title naming an http or https address is replaced.
QString CaptionForTitle(const QString &title);
