// The Windows language id of the process locale.
#include "tsw/locale.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct LocaleLangId {
    const char *name; // language, or language_TERRITORY
    LANGID id;
};

// A language alone maps to its first row. Ids as Windows assigns them.
const LocaleLangId kLocales[] = {
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409},
    {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"en_IN", 0x4009}, {"en_SG", 0x4809},
    {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407},
    {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C},
    {"fr_MC", 0x180C},
    {"ja_JP", 0x0411},
    {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es_AR", 0x2C0A}, {"es_CO", 0x240A}, {"es_CL", 0x340A},
    {"es_US", 0x540A},
    {"it_IT", 0x0410}, {"it_CH", 0x0810},
    {"nl_NL", 0x0413}, {"nl_BE", 0x0813},
    {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
    {"sv_SE", 0x041D}, {"sv_FI", 0x081D},
    {"da_DK", 0x0406}, {"nb_NO", 0x0414}, {"nn_NO", 0x0814}, {"no_NO", 0x0414}, {"fi_FI", 0x040B},
    {"is_IS", 0x040F},
    {"pl_PL", 0x0415}, {"cs_CZ", 0x0405}, {"sk_SK", 0x041B}, {"hu_HU", 0x040E}, {"ro_RO", 0x0418},
    {"bg_BG", 0x0402}, {"hr_HR", 0x041A}, {"sl_SI", 0x0424}, {"sr_RS", 0x241A},
    {"et_EE", 0x0425}, {"lv_LV", 0x0426}, {"lt_LT", 0x0427},
    {"ru_RU", 0x0419}, {"uk_UA", 0x0422}, {"be_BY", 0x0423},
    {"el_GR", 0x0408}, {"tr_TR", 0x041F},
    {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},
    {"ko_KR", 0x0412},
    {"ar_SA", 0x0401}, {"ar_EG", 0x0C01}, {"he_IL", 0x040D}, {"fa_IR", 0x0429},
    {"th_TH", 0x041E}, {"vi_VN", 0x042A}, {"id_ID", 0x0421}, {"ms_MY", 0x043E}, {"hi_IN", 0x0439},
    {"ca_ES", 0x0403}, {"eu_ES", 0x042D}, {"gl_ES", 0x0456},
};

constexpr LANGID kEnglish = 0x0409;

// The locale the messages follow: the first of LC_ALL, LC_MESSAGES, LANG that is set and not empty.
std::string ProcessLocale()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return std::string();
}

} // namespace

LANGID GetUserDefaultLangID()
{
    const std::string locale = ProcessLocale();
    // language[_TERRITORY][.codeset][@modifier]
    const std::size_t end = locale.find_first_of(".@");
    const std::string base = locale.substr(0, end);
    const std::size_t sep = base.find('_');
    std::string language = base.substr(0, sep);
    std::string territory = sep == std::string::npos ? std::string() : base.substr(sep + 1);
    for (char &c : language)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    for (char &c : territory)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (language.empty() || language == "c" || language == "posix")
        return kEnglish;
    const std::string full = language + "_" + territory;
    for (const LocaleLangId &row : kLocales) {
        if (!territory.empty() && full == row.name)
            return row.id;
    }
    for (const LocaleLangId &row : kLocales) {
        if (std::strncmp(row.name, language.c_str(), language.size()) == 0
            && row.name[language.size()] == '_')
            return row.id;
    }
    return kEnglish;
}
