#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QObject;
class QWebEngineProfile;

// Owns the one disk-backed profile that every browser of the client uses, so cookies set in a
// hidden browser are sent by the visible ones and survive a restart. Create it after the
// application object; destroy it after the last browser and before the application object.
class BrowserEngine
{
public:
    // The engine's language, sent to every page as well.
    static constexpr const char *kEngineLanguage = "zh-CN";

    BrowserEngine();
    ~BrowserEngine();
    BrowserEngine(const BrowserEngine &) = delete;
    BrowserEngine &operator=(const BrowserEngine &) = delete;

    // Engine options that must be set before the first engine object exists (before the
    // application object): same-site pages share one renderer; the engine's language.
    static void prepareProcessModel();

    // The shared profile, made on first use so the engine starts only when a page needs it.
    static QWebEngineProfile *profile();

    // A page that belongs to no browser (a new window nobody took): deleted, if it is still there,
    // before the profile at the end.
    static void deleteBeforeProfile(QObject *page);

    // Where the profile keeps cookies and cache.
    static QString storagePath();

    // The origins whose pages may command the shell: the web root's and the build's trusted ones.
    // The login window sets them as it reads the settings, before any page loads. Unset, nothing
    // is checked, so a window can be driven on its own without a service (as its tests do).
    static void setServiceWebRoot(const QString &webRoot);
    static const std::optional<QStringList> &serviceOrigins();
};
