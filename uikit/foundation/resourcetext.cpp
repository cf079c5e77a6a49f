#include "foundation/resourcetext_p.h"

#include "tslang.h"

#include <vector>

namespace tsuikit {

namespace {

// Chooses the module while the library is being loaded, from the locale the process starts with.
// Whatever asks first, this or another library's initialiser, makes the choice.
const HINSTANCE s_chosenAtLoad = LanguageModule();

} // namespace

HINSTANCE LanguageModule()
{
    // Chosen once per process, on first use. The module is never released: texts may be asked for
    // until the process ends.
    static const HINSTANCE module = LoadTsLang(GetUserDefaultLangID(), 0);
    return module;
}

WString LoadResourceText(HINSTANCE module, UINT id)
{
    std::vector<WCHAR> buffer(MaxResourceTextLength + 1);
    const int length = LoadStringW(module, id, buffer.data(), int(buffer.size()));
    if (length <= 0)
        return WString();
    return WString(buffer.data(), size_t(length));
}

QString ResourceQString(UINT id)
{
    return QStringFromWString(LoadResourceText(LanguageModule(), id));
}

} // namespace tsuikit
