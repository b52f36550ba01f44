#include "BrowserPage.h"

#include "CppWebBrowser.h"

#include "platform/systembrowser.h"

#include <QRegularExpression>
#include <QTimer>

QString UrlText(const QUrl &url)
{
    // Non-ASCII text reads as characters, delimiters stay escaped: the form a page wrote.
    QString text = url.toString(QUrl::PrettyDecoded);
    // The engine hands the address over in tolerant form, where a "%" that starts no two-digit
    // escape became "%25"; the four-digit escapes that pages write ("%u4F60") are given back.
    static const QRegularExpression fourDigitEscape(QStringLiteral("%25u([0-9A-Fa-f]{4})"));
    text.replace(fourDigitEscape, QStringLiteral("%u\\1"));
    return text;
}

BrowserPage::BrowserPage(QWebEngineProfile *profile, TCppWebBrowser *browser)
    : QWebEnginePage(profile, browser)
    , m_browser(browser)
{}

const QString &BrowserPage::geometryMarker()
{
    static const QString marker = QStringLiteral("\x01sorvane-geometry:");
    return marker;
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    return m_browser->beforeNavigate(UrlText(url), isMainFrame);
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    return m_browser->newWindowPage();
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                           int line, const QString &source)
{
    Q_UNUSED(level);
    Q_UNUSED(line);
    Q_UNUSED(source);
    if (!message.startsWith(geometryMarker()))
        return;
    // "<marker>left:100"
    const QStringList parts = message.mid(geometryMarker().size()).split(QLatin1Char(':'));
    bool ok = false;
    const int value = parts.value(1).toInt(&ok);
    if (parts.size() == 2 && ok)
        m_browser->reportGeometry(parts.at(0), value);
}

NewWindowCatcher::NewWindowCatcher(QWebEngineProfile *profile)
    : QWebEnginePage(profile)
{
    // A window that never navigates must not linger.
    QTimer::singleShot(30000, this, &QObject::deleteLater);
}

bool NewWindowCatcher::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (isMainFrame) {
        platform::OpenInSystemBrowser(url.toString(QUrl::FullyEncoded));
        deleteLater();
    }
    return false;
}
