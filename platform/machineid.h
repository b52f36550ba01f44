#pragma once

#include <QString>

namespace platform {

// Eight upper-case hexadecimal digits identifying the root file system, stable across runs.
// "00000000" when the identity cannot be read.
QString RootVolumeId();

// The formatting rule on its own: a 32-bit value as eight upper-case digits with leading zeros.
QString FormatVolumeId(quint32 serial);

} // namespace platform
