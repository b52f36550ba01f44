#pragma once

#include <QString>

// What both programs know about release versions.

// Versions compare as plain text: character codes from the first, a text that is the start of
// the other is the smaller. Negative, zero or positive like a comparison function.
int CompareVersionText(const QString &a, const QString &b);

// The client's program file carries this text, then its version and a NUL byte, so that the
// upgrader can tell which version it replaces without running it.
#define SORVANE_RELEASE_MARKER_PREFIX "clikw730-release-version:"
