#pragma once

#include <QString>
#include <QVariant>

class TCppWebBrowser;

// Driving a browser's page from a test, one copy for every suite. Every wait is bounded and
// returns on the event it waits for; none of them sleeps.

// Runs a script and gives its result; an invalid value when the page did not answer in time (a
// late answer is dropped safely, not written into a gone frame).
QVariant ScriptResult(TCppWebBrowser *browser, const QString &script);
// The page's body text, or empty text when there is no page.
QString BodyTextOf(TCppWebBrowser *browser);
// Waits until the browser is idle and its body text contains `text`.
bool WaitForBodyText(TCppWebBrowser *browser, const QString &text, int ms = 20000);
// The id of the page's body element ("page-index01"), or empty text.
QString PageId(TCppWebBrowser *browser);
// Waits until the browser is idle on the page whose body has that id.
bool WaitForPage(TCppWebBrowser *browser, const QString &bodyId, int ms = 20000);
// Clicks the element with that id from a script (the page's own click handlers run).
void ClickById(TCppWebBrowser *browser, const QString &id);
// Navigates and waits until the browser is idle at that address.
bool LoadPage(TCppWebBrowser *browser, const QString &url, int ms = 20000);
