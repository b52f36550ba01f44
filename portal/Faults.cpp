#include "Faults.h"

#include "Text.h"

std::optional<FaultSetting> parseFaultSetting(const std::string &text)
{
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::string argument = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    const bool hasArgument = colon != std::string::npos;

    struct Plain
    {
        const char *name;
        FaultSetting::Kind kind;
    };
    static const Plain plain[] = {{"hang", FaultSetting::Kind::Hang},
                                  {"empty", FaultSetting::Kind::Empty},
                                  {"malformed", FaultSetting::Kind::Malformed},
                                  {"truncate", FaultSetting::Kind::Truncate},
                                  {"cut", FaultSetting::Kind::Cut},
                                  {"html200", FaultSetting::Kind::Html200},
                                  {"html404", FaultSetting::Kind::Html404},
                                  {"reset", FaultSetting::Kind::Reset}};
    for (const Plain &p : plain) {
        if (name == p.name && !hasArgument)
            return FaultSetting{p.kind, 0, 0, {}};
    }

    FaultSetting setting;
    if (name == "delay" && parseNumber(argument, 0, 24LL * 3600 * 1000, setting.value)) {
        setting.kind = FaultSetting::Kind::Delay;
        return setting;
    }
    // 1xx, 204 and 304 carry no body and would not show the error page.
    if (name == "status" && parseNumber(argument, 200, 599, setting.value) && setting.value != 204 &&
        setting.value != 304) {
        setting.kind = FaultSetting::Kind::Status;
        return setting;
    }
    if (name == "large" && parseNumber(argument, 0, 1LL << 40, setting.value)) {
        setting.kind = FaultSetting::Kind::Large;
        return setting;
    }
    if (name == "garbage" && parseNumber(argument, 0, 1LL << 40, setting.value)) {
        setting.kind = FaultSetting::Kind::Garbage;
        return setting;
    }
    if (name == "body" && hasArgument) {
        setting.kind = FaultSetting::Kind::Body;
        setting.text = formDecode(argument);
        return setting;
    }
    const size_t second = argument.find(':');
    if (name == "padded" && second != std::string::npos &&
        parseNumber(argument.substr(0, second), 0, 1LL << 40, setting.value)) {
        setting.kind = FaultSetting::Kind::Padded;
        setting.text = formDecode(argument.substr(second + 1));
        return setting;
    }
    if (name == "trickle" && second != std::string::npos &&
        parseNumber(argument.substr(0, second), 1, 3600LL * 1000, setting.value) &&
        parseNumber(argument.substr(second + 1), 1, 1LL << 40, setting.length)) {
        setting.kind = FaultSetting::Kind::Trickle;
        return setting;
    }
    return std::nullopt;
}

void FaultTable::set(const std::string &path, const FaultSetting &setting)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults[path] = setting;
}

void FaultTable::clear(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.erase(path);
}

std::optional<FaultSetting> FaultTable::find(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_faults.find(path);
    if (it == m_faults.end())
        return std::nullopt;
    return it->second;
}
