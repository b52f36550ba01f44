#pragma once

#include <QString>
#include <QtGlobal>

// When a page cannot reach the service, its browser shows a page of its own and loads the same
// address again by itself: soon at first, then less often, for as long as it takes.

// Whether a failed load means the service could not be reached at all (refused, reset, timed out,
// name not found, no network), as opposed to an answer the service gave or a navigation that was
// stopped. The code is the engine's network error number (negative).
bool IsUnreachableError(int netErrorCode);

// The wait before the next attempt, from how long the address has been failing. An attempt with
// its load fits in 5 s at first and in 35 s later, so a page is back that soon after the service.
constexpr qint64 kQuickRetryPhaseMs = 60000;
constexpr int kQuickRetryMs = 4000;
constexpr int kSlowRetryMs = 30000;
int RetryDelayMs(qint64 failingForMs);

// The client's own page for an address that cannot be reached: Chinese, in the product's look,
// self-contained (no request leaves it). Its "重试" button carries the id "sorvane-retry".
QString OfflinePageHtml(const QString &address, int nextAttemptSeconds);
