#include "helpprofile.h"

#include "helpdocument.h"
#include "helpschemehandler.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace tshelp {

bool HelpRequestInterceptor::allowed(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String(kHelpScheme) || scheme == QLatin1String("data")
        || scheme == QLatin1String("blob") || scheme == QLatin1String("about"))
        return true;
    for (const char *const *link = HelpSchemeHandler::linkSchemes(); *link; ++link) {
        if (scheme == QLatin1String(*link))
            return true;
    }
    return false;
}

void HelpRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!allowed(info.requestUrl()))
        info.block(true);
}

QWebEngineProfile *HelpProfile()
{
    static QWebEngineProfile *profile = nullptr;
    if (profile)
        return profile;
    // No storage name: off the record, nothing written to disk, nothing shared with other views.
    profile = new QWebEngineProfile(QCoreApplication::instance());
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setSpellCheckEnabled(false);
    QWebEngineSettings *settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    profile->setUrlRequestInterceptor(new HelpRequestInterceptor(profile));
    HelpSchemeHandler::installIn(profile);
    // Forget the pointer with the profile, should an application object come again (tests).
    QObject::connect(profile, &QObject::destroyed, [] { profile = nullptr; });
    return profile;
}

} // namespace tshelp
