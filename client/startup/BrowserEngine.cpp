#include "BrowserEngine.h"

#include "NavigationTrust.h"
#include "buildconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineProfile>

namespace {

BrowserEngine *g_engine = nullptr;
QWebEngineProfile *g_profile = nullptr;

std::optional<QStringList> &serviceOriginsSlot()
{
    static std::optional<QStringList> origins;
    return origins;
}

QList<QPointer<QObject>> &loosePages()
{
    static QList<QPointer<QObject>> pages;
    return pages;
}

} // namespace

void BrowserEngine::deleteBeforeProfile(QObject *page)
{
    QList<QPointer<QObject>> &pages = loosePages();
    pages.removeAll(nullptr);
    pages.append(page);
}

BrowserEngine::BrowserEngine()
{
    Q_ASSERT(!g_engine);
    g_engine = this;
}

BrowserEngine::~BrowserEngine()
{
    // Every page must go before the profile it was made with.
    for (const QPointer<QObject> &page : std::as_const(loosePages()))
        delete page.data();
    loosePages().clear();
    delete g_profile;
    g_profile = nullptr;
    g_engine = nullptr;
}

void BrowserEngine::prepareProcessModel()
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto add = [&flags](const QByteArray &flag) { flags += flags.isEmpty() ? flag : " " + flag; };
    if (!flags.contains("--process-per-site"))
        add("--process-per-site");
    // The engine speaks Chinese like the rest of the client (its own pages, form bubbles, date
    // pickers, navigator.language), whatever the desktop's language; otherwise it follows the
    // process locale.
    if (!flags.contains("--lang="))
        add("--lang=" + QByteArray(kEngineLanguage));
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QString BrowserEngine::storagePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/sorvane/profile");
}

QWebEngineProfile *BrowserEngine::profile()
{
    Q_ASSERT_X(g_engine, "BrowserEngine::profile", "no BrowserEngine owns the profile");
    if (!g_profile) {
        g_profile = new QWebEngineProfile(QStringLiteral("sorvane"));
        const QString path = storagePath();
        QDir().mkpath(path);
        g_profile->setPersistentStoragePath(path);
        g_profile->setCachePath(path + QStringLiteral("/cache"));
        // The login session is a session cookie; keep it across restarts like the rest.
        g_profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
        g_profile->setHttpAcceptLanguage(QStringLiteral("%1,zh").arg(QLatin1String(kEngineLanguage)));
    }
    return g_profile;
}

void BrowserEngine::setServiceWebRoot(const QString &webRoot)
{
    serviceOriginsSlot() = TrustedOrigins(webRoot, QStringLiteral(SORVANE_TRUSTED_ORIGINS));
}

const std::optional<QStringList> &BrowserEngine::serviceOrigins()
{
    return serviceOriginsSlot();
}
