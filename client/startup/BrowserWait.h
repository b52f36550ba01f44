#pragma once

#include <functional>

class TCppWebBrowser;

// Waiting for a browser: pump events until a condition holds, never longer than the limit.

// The limit of every wait for a page, 30 s unless a test shortens it.
int BrowserWaitLimitMs();
void SetBrowserWaitLimitMs(int ms);

// True when `done` became true in time; false when the limit ran out first.
bool WaitUntil(const std::function<bool()> &done, int limitMs = BrowserWaitLimitMs());

// Waits while the browser is busy. False on time-out (or when the browser went away).
bool WaitWhileBusy(TCppWebBrowser *browser);

// Lets pending events run once, as between the steps of a command.
void PumpEvents();

// True once the application has been told to quit. Every wait then ends at once and reports
// failure, so the command it served is dropped; no box is shown any more.
bool ApplicationQuitting();
// Notices the request to quit from the moment it is made (waits also notice it on their own).
void WatchForQuit();
