#include "Text.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string formDecode(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string percentEncode(const std::string &text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

QueryItems parseQuery(const std::string &rawQuery)
{
    QueryItems items;
    size_t start = 0;
    while (start <= rawQuery.size()) {
        size_t end = rawQuery.find('&', start);
        if (end == std::string::npos)
            end = rawQuery.size();
        const std::string item = rawQuery.substr(start, end - start);
        if (!item.empty()) {
            const size_t eq = item.find('=');
            if (eq == std::string::npos)
                items.emplace_back(formDecode(item), std::string());
            else
                items.emplace_back(formDecode(item.substr(0, eq)), formDecode(item.substr(eq + 1)));
        }
        start = end + 1;
    }
    return items;
}

std::string queryValue(const QueryItems &items, const std::string &name)
{
    for (const auto &item : items) {
        if (item.first == name)
            return item.second;
    }
    return std::string();
}

std::string maskQueryValue(const std::string &rawQuery, const std::string &name)
{
    std::string out;
    size_t start = 0;
    while (start <= rawQuery.size()) {
        size_t end = rawQuery.find('&', start);
        if (end == std::string::npos)
            end = rawQuery.size();
        const std::string item = rawQuery.substr(start, end - start);
        const size_t eq = item.find('=');
        if (eq != std::string::npos && formDecode(item.substr(0, eq)) == name)
            out += item.substr(0, eq + 1) + "***";
        else
            out += item;
        if (end < rawQuery.size())
            out += '&';
        start = end + 1;
    }
    return out;
}

std::string htmlEscape(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string isoTimeNow()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(millis));
    return buffer;
}

std::string randomToken(int byteCount)
{
    static const char digits[] = "0123456789abcdef";
    std::random_device device;
    std::string out;
    for (int i = 0; i < byteCount; ++i) {
        const unsigned value = device() & 0xFF;
        out += digits[value >> 4];
        out += digits[value & 15];
    }
    return out;
}

bool parseNumber(const std::string &text, long long minValue, long long maxValue, long long &value)
{
    if (text.empty() || text.size() > 18)
        return false;
    long long result = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    if (result < minValue || result > maxValue)
        return false;
    value = result;
    return true;
}
