#include "FaultResponder.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

const char *const downloadPath = "/download/clikw730exe";

int portOf(const sockaddr_storage &address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in &>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 &>(address).sin6_port);
    return -1;
}

std::string errorPage(int status, const std::string &title, const std::string &text)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head><body><h1>" + std::to_string(status) + " " + title + "</h1><p>" + text +
           "</p></body></html>";
}

// Bytes that look like text but carry none of the expected fields.
void fillPattern(char *data, size_t offset, size_t length)
{
    static const char pattern[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-=\n";
    const size_t size = sizeof pattern - 1;
    for (size_t i = 0; i < length; ++i)
        data[i] = pattern[(offset + i) % size];
}

// Streams length bytes of pattern so that a large answer is never held in memory at once.
void setPatternContent(httplib::Response &response, size_t length, const char *mimeType)
{
    if (length == 0) { // a zero-length provider never ends
        response.set_content("", mimeType);
        return;
    }
    response.set_content_provider(length, mimeType, [](size_t offset, size_t count, httplib::DataSink &sink) {
        char chunk[16384];
        const size_t n = count < sizeof chunk ? count : sizeof chunk;
        fillPattern(chunk, offset, n);
        return sink.write(chunk, n);
    });
}

// The same bytes for the same offset, so a streamed answer is reproducible; every byte value occurs.
unsigned char garbageByte(size_t offset)
{
    unsigned long long x = offset + 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<unsigned char>(x ^ (x >> 31));
}

// Streams length bytes: `lead` first, then garbage or the text pattern, never all in memory.
void setStreamedContent(httplib::Response &response, const std::string &lead, size_t length, bool garbage)
{
    if (length <= lead.size()) { // also the zero-length case, where a provider would never end
        response.set_content(lead, "text/plain; charset=utf-8");
        return;
    }
    response.set_content_provider(length, "text/plain; charset=utf-8",
                                  [lead, garbage](size_t offset, size_t count, httplib::DataSink &sink) {
                                      char chunk[16384];
                                      const size_t n = count < sizeof chunk ? count : sizeof chunk;
                                      for (size_t i = 0; i < n; ++i) {
                                          const size_t at = offset + i;
                                          if (at < lead.size())
                                              chunk[i] = lead[at];
                                          else if (garbage)
                                              chunk[i] = static_cast<char>(garbageByte(at));
                                          else
                                              fillPattern(chunk + i, at - lead.size(), 1);
                                      }
                                      return sink.write(chunk, n);
                                  });
}

// Declares the whole length but sends only the first half, then gives up on the connection.
void setTruncatedContent(httplib::Response &response, const std::string &downloadFile, bool isDownload)
{
    std::error_code error;
    const auto fileSize =
        isDownload && !downloadFile.empty() ? std::filesystem::file_size(downloadFile, error) : 0;
    if (isDownload && !error && fileSize >= 2) {
        auto in = std::make_shared<std::ifstream>(downloadFile, std::ios::binary);
        const size_t half = static_cast<size_t>(fileSize / 2);
        response.set_content_provider(static_cast<size_t>(fileSize), "application/octet-stream",
                                      [in, half](size_t offset, size_t count, httplib::DataSink &sink) {
                                          if (offset >= half)
                                              return false;
                                          char chunk[65536];
                                          size_t n = count < sizeof chunk ? count : sizeof chunk;
                                          n = n < half - offset ? n : half - offset;
                                          in->seekg(static_cast<std::streamoff>(offset));
                                          if (!in->read(chunk, static_cast<std::streamsize>(n)))
                                              return false;
                                          return sink.write(chunk, n);
                                      });
        return;
    }
    const size_t declared = 65536;
    const size_t sent = 1024;
    response.set_content_provider(declared,
                                  isDownload ? "application/octet-stream" : "text/html; charset=utf-8",
                                  [sent](size_t offset, size_t count, httplib::DataSink &sink) {
                                      if (offset >= sent)
                                          return false;
                                      char chunk[1024];
                                      const size_t n = count < sent - offset ? count : sent - offset;
                                      fillPattern(chunk, offset, n);
                                      return sink.write(chunk, n);
                                  });
}

// The download's first half, with no length announced and the connection closed after it: to
// the client it looks like a whole (shorter) file.
void setCutContent(httplib::Response &response, const std::string &downloadFile)
{
    std::error_code error;
    const auto fileSize = downloadFile.empty() ? 0 : std::filesystem::file_size(downloadFile, error);
    auto in = std::make_shared<std::ifstream>(downloadFile, std::ios::binary);
    const size_t half = error ? 0 : static_cast<size_t>(fileSize / 2);
    response.set_content_provider("application/octet-stream",
                                  [in, half](size_t offset, httplib::DataSink &sink) {
                                      if (offset >= half) {
                                          sink.done();
                                          return true;
                                      }
                                      char chunk[65536];
                                      const size_t n = std::min(sizeof chunk, half - offset);
                                      in->seekg(static_cast<std::streamoff>(offset));
                                      if (!in->read(chunk, static_cast<std::streamsize>(n)))
                                          return false;
                                      return sink.write(chunk, n);
                                  });
}

// One byte every interval, the download's own bytes first: a server that keeps the line open
// without ever getting anywhere. Ends when the peer has gone or the portal stops.
void setTrickleContent(httplib::Response &response, const FaultSetting &setting, PortalState &state,
                       bool isDownload)
{
    auto in = std::make_shared<std::ifstream>();
    if (isDownload && !state.options.downloadFile.empty())
        in->open(state.options.downloadFile, std::ios::binary);
    const auto interval = std::chrono::milliseconds(setting.value);
    StopSignal &stop = state.stop;
    response.set_content_provider(
        static_cast<size_t>(setting.length),
        isDownload ? "application/octet-stream" : "text/plain; charset=utf-8",
        [in, interval, &stop](size_t offset, size_t, httplib::DataSink &sink) {
            if (stop.waitFor(interval))
                return false;
            char byte = 0;
            if (!(*in && in->seekg(static_cast<std::streamoff>(offset)) && in->read(&byte, 1)))
                fillPattern(&byte, offset, 1);
            return sink.write(&byte, 1);
        });
}

} // namespace

bool resetConnection(const httplib::Request &request)
{
    DIR *dir = opendir("/proc/self/fd");
    if (!dir)
        return false;
    bool found = false;
    while (dirent *entry = readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        if (fd <= 2 || fd == dirfd(dir))
            continue;
        sockaddr_storage local{};
        sockaddr_storage peer{};
        socklen_t localSize = sizeof local;
        socklen_t peerSize = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &localSize) != 0 ||
            getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerSize) != 0)
            continue;
        if (portOf(local) != request.local_port || portOf(peer) != request.remote_port)
            continue;
        // No lingering: the close that follows sends a reset instead of waiting for the peer.
        linger noLinger{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
        shutdown(fd, SHUT_RDWR);
        found = true;
        break;
    }
    closedir(dir);
    return found;
}

bool answerWithFault(const FaultSetting &setting, const httplib::Request &request,
                     httplib::Response &response, PortalState &state)
{
    const bool isDownload = request.path == downloadPath;
    switch (setting.kind) {
    case FaultSetting::Kind::Delay:
        if (!state.stop.waitFor(std::chrono::milliseconds(setting.value)))
            return false;
        resetConnection(request);
        response.status = 503;
        return true;
    case FaultSetting::Kind::Hang:
        state.stop.waitForever();
        resetConnection(request);
        response.status = 503;
        return true;
    case FaultSetting::Kind::Reset:
        resetConnection(request);
        response.status = 500;
        return true;
    case FaultSetting::Kind::Status:
        response.status = static_cast<int>(setting.value);
        response.set_content(errorPage(response.status, "服务错误", "Service error (fault switch)."),
                             "text/html; charset=utf-8");
        return true;
    case FaultSetting::Kind::Empty:
        response.status = 200;
        response.set_content("", isDownload ? "application/octet-stream" : "text/html; charset=utf-8");
        return true;
    case FaultSetting::Kind::Malformed:
        response.status = 200;
        response.set_content("garbage<>|;;",
                             isDownload ? "application/octet-stream" : "text/plain; charset=utf-8");
        return true;
    case FaultSetting::Kind::Large:
        response.status = 200;
        setPatternContent(response, static_cast<size_t>(setting.value),
                          isDownload ? "application/octet-stream" : "text/plain; charset=utf-8");
        return true;
    case FaultSetting::Kind::Body:
        response.status = 200;
        response.set_content(setting.text, "text/plain; charset=utf-8");
        return true;
    case FaultSetting::Kind::Garbage:
        response.status = 200;
        setStreamedContent(response, std::string(), static_cast<size_t>(setting.value), true);
        return true;
    case FaultSetting::Kind::Padded:
        response.status = 200;
        setStreamedContent(response, setting.text, static_cast<size_t>(setting.value), false);
        return true;
    case FaultSetting::Kind::Trickle:
        response.status = 200;
        setTrickleContent(response, setting, state, isDownload);
        return true;
    case FaultSetting::Kind::Truncate:
        response.status = 200;
        setTruncatedContent(response, state.options.downloadFile, isDownload);
        return true;
    case FaultSetting::Kind::Cut:
        response.status = 200;
        setCutContent(response, state.options.downloadFile);
        return true;
    case FaultSetting::Kind::Html200:
        response.status = 200;
        response.set_content(errorPage(200, "服务暂不可用", "The service is busy, please try again later."),
                             "text/html; charset=utf-8");
        return true;
    case FaultSetting::Kind::Html404:
        response.status = 404;
        response.set_content(errorPage(404, "页面不存在", "The page was not found."),
                             "text/html; charset=utf-8");
        return true;
    }
    return false;
}
