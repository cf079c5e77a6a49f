#include "helppage.h"

#include "helpdocument.h"
#include "helplink.h"

#include <QDesktopServices>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace tshelp {

HelpPage::HelpPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    // A link written "other.chm::/page.htm" names a page of the help file beside this one, but an
    // address parser reads "other.chm" as its scheme. Followed, it becomes "ms-its:other.chm::/…",
    // which the scheme handler resolves from the linking page's file. (In a world of its own: the
    // page's scripts neither see nor undo it.)
    QWebEngineScript script;
    script.setName(QStringLiteral("tshelp-relative-links"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral(
        "document.addEventListener('click', function (event) {"
        "  var a = event.target && event.target.closest ? event.target.closest('a[href]') : null;"
        "  var href = a ? a.getAttribute('href') : '';"
        "  if (/^[^:\\/?#]+\\.chm::/i.test(href)) a.setAttribute('href', 'ms-its:' + href);"
        "}, true);"));
    scripts().insert(script);
}

bool IsViewerAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String(kHelpScheme) || scheme == QLatin1String("about")
        || scheme == QLatin1String("data") || HasHelpLinkPrefix(url.toString());
}

bool HelpPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (IsViewerAddress(url))
        return true;
    // Frames of a page may load what they like; a page of the viewer leaves it only for the
    // browser, and only when the user follows a link.
    if (!isMainFrame)
        return true;
    if (type == NavigationTypeLinkClicked)
        QDesktopServices::openUrl(url);
    return false;
}

} // namespace tshelp
