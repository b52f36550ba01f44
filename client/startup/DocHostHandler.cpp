#include "DocHostHandler.h"

#include "CppWebBrowser.h"

TDocHostHandler::TDocHostHandler(QObject *owner)
    : QObject(owner)
{}

void TDocHostHandler::attach(TCppWebBrowser *browser) const
{
    if (browser)
        browser->applyHostLook();
}
