#include "help/installfolder_p.h"

#include "tsinstallpath.h"

namespace tsuikit {

WString InstallFolderWithSeparator()
{
    WCHAR buffer[TS_PATH_BUFFER];
    buffer[0] = 0; // the common library writes a terminated text, but an old one may write nothing
    GetInstallPath(buffer, 0);
    WString folder(buffer);
    if (!folder.empty() && folder.back() != u'\\')
        folder += u'\\';
    return folder;
}

} // namespace tsuikit
