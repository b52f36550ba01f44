#include "RetrySchedule.h"

#include <algorithm>

bool IsUnreachableError(int netErrorCode)
{
    // The engine's network error numbers for "nothing answered there".
    static const int unreachable[] = {
        -7,   // timed out
        -21,  // network changed
        -100, // connection closed before any answer
        -101, // connection reset
        -102, // connection refused
        -103, // connection aborted
        -104, // connection failed
        -105, // name not resolved
        -106, // internet disconnected
        -108, // address invalid
        -109, // address unreachable
        -118, // connection timed out
        -130, // proxy connection failed
        -137, // name resolution failed
        -324, // empty response: the server went away without a word
    };
    if (std::find(std::begin(unreachable), std::end(unreachable), netErrorCode) != std::end(unreachable))
        return true;
    // The resolver's own failures (-800 to -899) say as little about the service.
    return netErrorCode <= -800 && netErrorCode > -900;
}

int RetryDelayMs(qint64 failingForMs)
{
    return failingForMs < kQuickRetryPhaseMs ? kQuickRetryMs : kSlowRetryMs;
}

namespace {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

QString OfflinePageHtml(const QString &address, int nextAttemptSeconds)
{
    // Sized for every page area: the 73-pixel head strip shows one line, larger areas the card.
    return QStringLiteral(R"HTML(<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>无法连接服务</title>
<style>
html, body { margin: 0; height: 100%; overflow: hidden; -webkit-user-select: none; user-select: none; }
body { display: flex; align-items: center; justify-content: center; background: #f3f5f8; color: #1d2733;
  font: 13px/1.5 "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; }
.card { display: flex; align-items: center; gap: 14px; max-width: 92%; padding: 16px 22px; background: #fff;
  border: 1px solid #d5dce6; border-top: 4px solid #123a6b; border-radius: 4px; }
.mark { flex: none; width: 40px; height: 40px; border-radius: 9px; background: linear-gradient(#1f5a96, #0b2647);
  color: #fff; font: 700 22px/40px sans-serif; text-align: center; }
h1 { margin: 0; font-size: 15px; font-weight: 600; color: #123a6b; }
p { margin: 2px 0 0; color: #4a5766; }
.address { color: #7b8794; word-break: break-all; }
button { flex: none; padding: 4px 18px; border: 1px solid #0b2647; border-radius: 3px; cursor: pointer;
  background: linear-gradient(#1f5a96, #123a6b); color: #fff; font: inherit; }
button:hover { background: #2a5d99; }
@media (max-height: 110px) {
  .card { padding: 4px 12px; border-top-width: 1px; gap: 10px; }
  .mark { width: 24px; height: 24px; border-radius: 5px; font-size: 14px; line-height: 24px; }
  h1 { font-size: 13px; display: inline; } p { display: inline; margin-left: 8px; }
  .address { display: inline-block; max-width: 30vw; overflow: hidden; text-overflow: ellipsis; white-space: nowrap;
    vertical-align: bottom; word-break: normal; }
}
</style></head>
<body><div class="card"><div class="mark">S</div>
<div class="text"><h1>暂时无法连接服务</h1><p>网络或服务中断，正在自动重试（%2 秒后再试）。</p>
<p class="address">%1</p></div>
<button id="sorvane-retry" type="button">重试</button></div></body></html>
)HTML")
        // One call: an address holding "%2" must not be filled in again.
        .arg(escaped(address), QString::number(std::max(1, nextAttemptSeconds)));
}
