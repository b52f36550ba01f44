#pragma once

#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "PortalProcess.h"

#include <QTest>

// Small helpers for driving portal pages in the pop-up windows.

// Navigates and waits until the page is there (not busy and at that address).
inline bool LoadPage(TCppWebBrowser *browser, const QString &url)
{
    browser->Navigate(url);
    return WaitUntil([browser, url] { return !browser->Busy() && browser->LocationURL() == url; }, 15000);
}

// Clicks the element with that id, as the user would.
inline void ClickElement(TCppWebBrowser *browser, const QString &id)
{
    browser->runScript(QStringLiteral("document.getElementById('%1').click()").arg(id));
}

// Evaluates a script and waits for its result.
inline QVariant Evaluate(TCppWebBrowser *browser, const QString &script)
{
    QVariant result;
    bool done = false;
    browser->runScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    WaitUntil([&done] { return done; }, 10000);
    return result;
}

// Waits until the page's body text contains `text`.
inline bool BodyShows(TCppWebBrowser *browser, const QString &text)
{
    return WaitUntil([browser, &text] { return !browser->Busy() && browser->BodyText().contains(text); },
                     15000);
}
