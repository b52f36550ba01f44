// The portal's own switches (faults, version text), its request log, the page beacon and the download.
#include "Routes.h"

#include "Minisign.h"
#include "Text.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

const char *const noStore = "no-store";

void answerText(httplib::Response &response, int status, const std::string &text)
{
    response.status = status;
    response.set_content(text, "text/plain; charset=utf-8");
    response.set_header("Cache-Control", noStore);
}

void handleFaultControl(const httplib::Request &request, httplib::Response &response, PortalState &state)
{
    const QueryItems query = parseQuery(rawQueryOf(request));
    const std::string path = queryValue(query, "path");
    const std::string settingText = queryValue(query, "setting");
    if (path.empty() || path[0] != '/') {
        answerText(response, 400, "path must start with /\n");
        return;
    }
    if (settingText.empty()) {
        state.faults.clear(path);
        answerText(response, 200, "cleared " + path + "\n");
        return;
    }
    const std::optional<FaultSetting> setting = parseFaultSetting(settingText);
    if (!setting) {
        answerText(response, 400, "unknown fault: " + settingText + "\n");
        return;
    }
    state.faults.set(path, *setting);
    answerText(response, 200, "set " + path + " = " + settingText + "\n");
}

void handleDownload(httplib::Response &response, const PortalState &state)
{
    const std::string &file = state.options.downloadFile;
    std::error_code error;
    const auto size = file.empty() ? 0 : std::filesystem::file_size(file, error);
    auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
    if (file.empty() || error || !*in) {
        response.status = 404;
        return;
    }
    // httplib cannot stream nothing (a zero-length provider never ends): answer an empty file plainly.
    if (size == 0) {
        response.set_content("", "application/octet-stream");
        response.set_header("Cache-Control", noStore);
        return;
    }
    // Streamed in pieces: the program file can be large.
    response.set_content_provider(static_cast<size_t>(size), "application/octet-stream",
                                  [in](size_t offset, size_t length, httplib::DataSink &sink) {
                                      char chunk[65536];
                                      const size_t n = length < sizeof chunk ? length : sizeof chunk;
                                      in->seekg(static_cast<std::streamoff>(offset));
                                      if (!in->read(chunk, static_cast<std::streamsize>(n)))
                                          return false;
                                      return sink.write(chunk, n);
                                  });
    response.set_header("Cache-Control", noStore);
}

std::string readWhole(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

// The served program's signature: a given file, or made now with the signing key, so that
// whatever the download and the announced version are at this moment is what it covers.
void handleSignature(httplib::Response &response, const PortalState &state)
{
    const PortalOptions &options = state.options;
    std::string text;
    if (!options.signatureFile.empty()) {
        text = readWhole(options.signatureFile);
    } else if (const auto key = minisign::parseSecretKey(readWhole(options.signingKey))) {
        std::ifstream in(options.downloadFile, std::ios::binary);
        if (!options.downloadFile.empty() && in) {
            minisign::Digest digest;
            char chunk[65536];
            while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
                digest.add(chunk, static_cast<size_t>(in.gcount()));
            // Signed as the release the version page announces (its first field), so the
            // upgrader takes it only over an older client.
            const std::string page = state.version();
            const std::string announced = page.substr(0, page.find(';'));
            const std::string comment = "timestamp:" + std::to_string(std::time(nullptr)) +
                                        "\tfile:clikw730exe" +
                                        (announced.empty() ? "" : "\tversion:" + announced) + "\thashed";
            text = minisign::sign(*key, digest.finish(), comment);
        }
    }
    if (text.empty()) {
        response.status = 404;
        return;
    }
    response.set_content(text, "text/plain; charset=utf-8");
    response.set_header("Cache-Control", noStore);
}

} // namespace

void addControlRoutes(httplib::Server &server, PortalState &state)
{
    server.Get(exactPattern("/__control/fault"),
               [&state](const httplib::Request &request, httplib::Response &response) {
                   handleFaultControl(request, response, state);
               });
    server.Get(exactPattern("/__control/version"),
               [&state](const httplib::Request &request, httplib::Response &response) {
                   const std::string text = queryValue(parseQuery(rawQueryOf(request)), "text");
                   state.setVersion(text);
                   answerText(response, 200, "version " + text + "\n");
               });
    // The whole portal refuses connections for a while: "/__control/outage?seconds=N".
    server.Get(exactPattern("/__control/outage"), [&state](const httplib::Request &request,
                                                           httplib::Response &response) {
        long long seconds = 0;
        if (!parseNumber(queryValue(parseQuery(rawQueryOf(request)), "seconds"), 1, 3600, seconds)) {
            answerText(response, 400, "seconds must be 1 to 3600\n");
            return;
        }
        // This answer still goes out: only the listening socket closes.
        state.outage.begin(std::chrono::seconds(seconds));
        answerText(response, 200, "refusing connections for " + std::to_string(seconds) + " s\n");
    });
    server.Get(exactPattern("/__log"), [&state](const httplib::Request &, httplib::Response &response) {
        answerText(response, 200, state.log.text());
    });
    server.Get(exactPattern("/__beacon"), [](const httplib::Request &, httplib::Response &response) {
        response.status = 204;
        response.set_header("Cache-Control", noStore);
    });
}

void addDownloadRoute(httplib::Server &server, PortalState &state)
{
    server.Get(
        exactPattern("/download/clikw730exe"),
        [&state](const httplib::Request &, httplib::Response &response) { handleDownload(response, state); });
    server.Get(exactPattern("/download/clikw730exe.minisig"),
               [&state](const httplib::Request &, httplib::Response &response) {
                   handleSignature(response, state);
               });
}
