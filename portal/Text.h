#pragma once

#include <string>
#include <utility>
#include <vector>

// Query and text helpers shared by the handlers. All texts are UTF-8.

using QueryItems = std::vector<std::pair<std::string, std::string>>;

// Decodes one form value: "%XX" becomes that byte, "+" a blank. A broken "%" stays as it is.
std::string formDecode(const std::string &text);

// Percent-encodes everything except unreserved characters (letters, digits, "-._~").
std::string percentEncode(const std::string &text);

// Splits a raw query ("a=1&b=2") at "&" and each item at its first "=", both sides form-decoded.
QueryItems parseQuery(const std::string &rawQuery);

// First value of name in items, or empty text.
std::string queryValue(const QueryItems &items, const std::string &name);

// The raw query with the value of every item whose decoded name is name replaced by "***".
std::string maskQueryValue(const std::string &rawQuery, const std::string &name);

std::string htmlEscape(const std::string &text);

// Current time as "2024-05-01T08:30:00.123Z".
std::string isoTimeNow();

// Hex text of byteCount random bytes, for session tokens.
std::string randomToken(int byteCount);

// Whole decimal number in [minValue, maxValue]; false for anything else.
bool parseNumber(const std::string &text, long long minValue, long long maxValue, long long &value);
