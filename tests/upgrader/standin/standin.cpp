// Stand-in for the client in the upgrader's tests. "--marker" prints which build this is and
// ends; otherwise it records that it ran (marker, pid, arguments) in standin.log beside its
// own program file (or in $STANDIN_LOG_DIR) and stays running until it is stopped, or for two minutes at
// most. A request to quit (SIGTERM) is recorded in standin.signals ("TERM pid") and obeyed,
// unless $STANDIN_IGNORE_TERM is set, as for a client that hangs.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#ifndef STANDIN_MARKER
#error "STANDIN_MARKER must name the build"
#endif

namespace {

char signalsPath[4096];
bool ignoreTerm = false;

void recordTerm(int)
{
    char line[64];
    const int length = std::snprintf(line, sizeof line, "TERM %d\n", int(getpid()));
    const int fd = open(signalsPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
        if (write(fd, line, size_t(length)) != length)
            _exit(3);
        close(fd);
    }
    if (!ignoreTerm)
        _exit(0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--marker") == 0) {
        std::puts(STANDIN_MARKER);
        return 0;
    }
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return 1;
    std::string folder(self, size_t(length));
    folder.erase(folder.rfind('/') + 1);
    if (const char *logFolder = std::getenv("STANDIN_LOG_DIR"))
        folder = std::string(logFolder) + '/';

    std::snprintf(signalsPath, sizeof signalsPath, "%sstandin.signals", folder.c_str());
    ignoreTerm = std::getenv("STANDIN_IGNORE_TERM") != nullptr;
    std::signal(SIGTERM, recordTerm);

    std::string line = std::string(STANDIN_MARKER) + ' ' + std::to_string(getpid());
    for (int i = 1; i < argc; ++i)
        line += std::string(" [") + argv[i] + ']';
    line += '\n';
    // One append per line, so lines of several stand-ins never interleave.
    const int fd = open((folder + "standin.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, line.data(), line.size()) != ssize_t(line.size()))
        return 1;
    close(fd);
    // A signal cuts sleep() short; the two minutes still hold.
    for (unsigned left = 120; left > 0;)
        left = sleep(left);
    return 0;
}
