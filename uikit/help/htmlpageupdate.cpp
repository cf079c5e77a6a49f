#include "help/htmlpageupdate.h"

#include "foundation/resourcetext_p.h"
#include "help/htmlaxwidget.h"
#include "help/networkprobe.h"
#include "tsinstallpath.h"

namespace {

enum : UINT { IdsLocalPage = 755 };

WString LocalPage(bool ccPage)
{
    WCHAR buffer[TS_PATH_BUFFER];
    buffer[0] = 0;
    GetInstallPath(buffer, 0);
    WString path(buffer);
    if (!path.empty() && path.back() != u'\\')
        path += u'\\';
    path += tsuikit::LoadResourceText(tsuikit::LanguageModule(), IdsLocalPage);
    if (ccPage) {
        const WString local = u"local";
        const std::size_t at = path.rfind(local);
        if (at != WString::npos)
            path.replace(at, local.size(), u"localcc");
    }
    return path;
}

} // namespace

void HtmlPageUpdate(CHtmlAxWidget *view, const WString &address, bool ccPage)
{
    if (!view)
        return;
    const bool remote = !IsNetwokOverrideLocal() && IsNetwokConnectedUrl(address);
    const WString target = remote ? address : LocalPage(ccPage);
    view->dynamicCall("Navigate(const QString&)", QStringFromWString(target));
}
