#include "platform/machineid.h"

#include <sys/statfs.h>

namespace platform {

QString FormatVolumeId(quint32 serial)
{
    return QStringLiteral("%1").arg(serial, 8, 16, QLatin1Char('0')).toUpper();
}

QString RootVolumeId()
{
    // The file system id of "/" is derived from the volume's UUID on the usual file systems:
    // the nearest thing to a volume serial number. Fold its 64 bits into 32.
    struct statfs info
    {
    };
    if (::statfs("/", &info) != 0)
        return FormatVolumeId(0);
    int words[2] = {};
    static_assert(sizeof(words) == sizeof(info.f_fsid), "fsid is two ints");
    memcpy(words, &info.f_fsid, sizeof(words));
    const quint32 folded = quint32(words[0]) ^ quint32(words[1]);
    return FormatVolumeId(folded);
}

} // namespace platform
