#include "RequestLog.h"

#include "Text.h"

bool RequestLog::openFile(const std::string &file)
{
    std::lock_guard<std::mutex> lock(mutex_);
    file_.open(file, std::ios::out | std::ios::trunc);
    return file_.is_open();
}

std::string RequestLog::formatLine(const std::string &time, const std::string &path,
                                   const std::string &rawQuery)
{
    // The path arrives decoded; a tab or line break in it would split the record.
    std::string safePath = path;
    for (char &c : safePath) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return time + "\t" + safePath + "\t" + maskQueryValue(rawQuery, "userpass");
}

void RequestLog::add(const std::string &path, const std::string &rawQuery)
{
    const std::string line = formatLine(isoTimeNow(), path, rawQuery);
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
    if (file_.is_open())
        file_ << line << '\n' << std::flush;
}

std::string RequestLog::text() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (const std::string &line : lines_)
        out += line + '\n';
    return out;
}
