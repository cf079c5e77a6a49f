#include "foundation/resourcetext_p.h"

#include "tslang.h"

#include <vector>

namespace tsuikit {

namespace {

// Chosen once, while the library is being loaded, before any export can be called. The module is
// never released: texts may be asked for until the process ends.
struct LanguageModuleHolder {
    HINSTANCE module = LoadTsLang(GetUserDefaultLangID(), 0);
};

const LanguageModuleHolder s_language;

} // namespace

HINSTANCE LanguageModule()
{
    return s_language.module;
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
