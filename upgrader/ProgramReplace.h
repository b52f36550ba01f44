#pragma once

#include <QString>

// Puts a copy of source at target so that target always holds either the whole old or the
// whole new file: the copy is written beside target, given target's permissions (0755 when
// there is no target yet), synced to disk and renamed over it. source is left as it is.
// False, with target untouched, when any step fails.
bool ReplaceProgram(const QString &source, const QString &target);
