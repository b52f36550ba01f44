#include "ClientStartup.h"
#include "ReleaseVersion.h"
#include "buildconfig.h"

// The upgrader reads this from the program file to refuse installing an older release over it.
[[gnu::used]] static const char releaseMarker[] = SORVANE_RELEASE_MARKER_PREFIX SORVANE_CLIENT_VERSION;

int main(int argc, char *argv[])
{
    return RunClient(argc, argv);
}
