#include "help/htmlpageupdate.h"

#include "foundation/resourcetext_p.h"
#include "help/htmlaxwidget.h"
#include "help/networkprobe.h"
#include "help/installfolder_p.h"

namespace {

enum : UINT { IdsLocalPage = 755 };

WString LocalPage(bool ccPage)
{
    WString path = tsuikit::InstallFolderWithSeparator();
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
