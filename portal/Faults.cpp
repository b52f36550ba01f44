#include "Faults.h"

#include "Text.h"

std::optional<FaultSpec> parseFaultSpec(const std::string &text)
{
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::string argument = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    const bool hasArgument = colon != std::string::npos;

    struct Plain
    {
        const char *name;
        FaultSpec::Kind kind;
    };
    static const Plain plain[] = {
        {"hang", FaultSpec::Kind::Hang},           {"empty", FaultSpec::Kind::Empty},
        {"malformed", FaultSpec::Kind::Malformed}, {"truncate", FaultSpec::Kind::Truncate},
        {"html200", FaultSpec::Kind::Html200},     {"html404", FaultSpec::Kind::Html404},
        {"reset", FaultSpec::Kind::Reset}};
    for (const Plain &p : plain) {
        if (name == p.name && !hasArgument)
            return FaultSpec{p.kind, 0};
    }

    FaultSpec spec;
    if (name == "delay" && parseNumber(argument, 0, 24LL * 3600 * 1000, spec.value)) {
        spec.kind = FaultSpec::Kind::Delay;
        return spec;
    }
    // 1xx, 204 and 304 carry no body and would not show the error page.
    if (name == "status" && parseNumber(argument, 200, 599, spec.value) && spec.value != 204 &&
        spec.value != 304) {
        spec.kind = FaultSpec::Kind::Status;
        return spec;
    }
    if (name == "large" && parseNumber(argument, 0, 1LL << 40, spec.value)) {
        spec.kind = FaultSpec::Kind::Large;
        return spec;
    }
    return std::nullopt;
}

void FaultTable::set(const std::string &path, const FaultSpec &spec)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_[path] = spec;
}

void FaultTable::clear(const std::string &path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.erase(path);
}

std::optional<FaultSpec> FaultTable::find(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = faults_.find(path);
    if (it == faults_.end())
        return std::nullopt;
    return it->second;
}
