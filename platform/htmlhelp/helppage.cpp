#include "helppage.h"

#include "helpdocument.h"
#include "helplink.h"

#include <QDesktopServices>

namespace tshelp {

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
