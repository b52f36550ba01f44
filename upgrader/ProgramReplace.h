#pragma once

#include <QString>

class SignedProgramCheck;

// Puts a copy of source at target so that target always holds either the whole old or the
// whole new file: the copy is written beside target, given target's permissions (0755 when
// there is no target yet), synced to disk and renamed over it. source is left as it is.
// False, with target untouched, when any step fails. With a check, the bytes copied are the ones
// judged, and the copy is put in place only when the check finds them valid: what lands at
// target is exactly what was verified, whatever happens to source meanwhile.
bool ReplaceProgram(const QString &source, const QString &target, SignedProgramCheck *check = nullptr);
