#include "RequestLog.h"

#include "Text.h"

bool RequestLog::openFile(const std::string &file)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_file.open(file, std::ios::out | std::ios::trunc);
    return m_file.is_open();
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
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back(line);
    if (m_file.is_open())
        m_file << line << '\n' << std::flush;
}

std::string RequestLog::text() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string out;
    for (const std::string &line : m_lines)
        out += line + '\n';
    return out;
}
