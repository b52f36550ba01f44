#pragma once

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

// One line per request: "<ISO time>\t<path>\t<query>", passwords masked. Kept in memory for
// GET /__log and, when a file is given, appended to it as it happens.
class RequestLog
{
public:
    // False when the file cannot be opened for writing.
    bool openFile(const std::string &file);
    void add(const std::string &path, const std::string &rawQuery);
    std::string text() const;

    static std::string formatLine(const std::string &time, const std::string &path,
                                  const std::string &rawQuery);

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::ofstream file_;
};
