#include "PageDriver.h"

#include "BrowserWait.h"
#include "CppWebBrowser.h"

QVariant ScriptResult(TCppWebBrowser *browser, const QString &script)
{
    QVariant result;
    if (!browser || !browser->hasPage() || !browser->runScriptAndWait(script, &result))
        return {};
    return result;
}

QString BodyTextOf(TCppWebBrowser *browser)
{
    return browser && browser->hasPage() ? browser->BodyText() : QString();
}

bool WaitForBodyText(TCppWebBrowser *browser, const QString &text, int ms)
{
    return WaitUntil([&] { return !browser->Busy() && BodyTextOf(browser).contains(text); }, ms);
}

QString PageId(TCppWebBrowser *browser)
{
    return ScriptResult(browser, QStringLiteral("document.body ? document.body.id : ''")).toString();
}

bool WaitForPage(TCppWebBrowser *browser, const QString &bodyId, int ms)
{
    return WaitUntil([&] { return !browser->Busy() && PageId(browser) == bodyId; }, ms);
}

void ClickById(TCppWebBrowser *browser, const QString &id)
{
    browser->runScript(QStringLiteral("document.getElementById('%1').click()").arg(id));
}

bool LoadPage(TCppWebBrowser *browser, const QString &url, int ms)
{
    browser->Navigate(url);
    return WaitUntil([&] { return !browser->Busy() && browser->LocationURL() == url; }, ms);
}
