#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Decisions of the tabbed page window and the video window, free of any widget.

// What a page title becomes: the tab's caption and the status bar's text.
struct TabTitleTexts
{
    QString caption;
    QString status;
};

// The tab caption holds at most this many bytes as the Chinese code page counts them.
constexpr int kTabCaptionBytes = 20;

// Bytes of one character in that code page, as it counts them: 2 for its double-byte characters
// (CJK, full-width punctuation, Greek, Cyrillic...), 1 for ASCII, the euro sign and any character it
// lacks (written "?" there).
int CodePageBytes(char32_t character);

// The title rule, then the caption cut to the byte limit; a character is never cut in half.
TabTitleTexts TabTitleFor(const QString &title);

// " 45%, 4500 / 10000"; nothing when the maximum is 0.
std::optional<QString> ProgressStatusText(int progress, int maximum);

// Where the video window's outer frame goes: 10 pixels from the right edge and 40 from the bottom
// of the whole screen (its rectangle on the desktop).
QPoint VideoWindowPosition(const QRect &screen, const QSize &outer);
