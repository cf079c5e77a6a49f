#include "help/helpfiles.h"

#include "foundation/resourcetext_p.h"
#include "help/installfolder_p.h"
#include "tsmessagebox.h"
#include "tswinhelp.h"

namespace {

enum : UINT {
    IdsHelpOpenFailed = 33,
    IdsHelpCaption = 129,
    IdsCCHelpCaption = 1481,
};

enum class HelpSet { Main, Console };

// Language codes of the help files, by primary language; anything else reads English.
const WCHAR *LanguageCode(LANGID language)
{
    switch (language & 0x3FF) {
    case 7:
        return u"GM";
    case 12:
        return u"FR";
    case 17:
        return u"JP";
    default:
        return u"EN";
    }
}

WString FileName(HelpSet set, const WCHAR *code)
{
    return WString(set == HelpSet::Main ? u"TsHelp" : u"TsCCHelp") + code + u".chm";
}

WString HelpFilePath(HelpSet set)
{
    const WString folder = tsuikit::InstallFolderWithSeparator();
    const WString path = folder + FileName(set, LanguageCode(GetUserDefaultLangID()));
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return path;
    return folder + FileName(set, u"EN");
}

void Display(HWND owner, const WString &file, UINT caption)
{
    if (HtmlHelpW(owner, file.c_str(), HH_DISPLAY_TOPIC, 0))
        return;
    const WString captionText = tsuikit::LoadResourceText(tsuikit::LanguageModule(), caption);
    TsMessageBox(owner, tsuikit::LanguageModule(), MB_ICONERROR, captionText.c_str(), IdsHelpOpenFailed);
}

// "file.chm::/page.htm", the notation of a page inside a compiled help file.
WString WithTopic(const WString &file, const WString &topic)
{
    return topic.empty() ? file : file + u"::/" + topic;
}

} // namespace

WString GetPathHelpFile()
{
    return HelpFilePath(HelpSet::Main);
}

WString GetPathCCHelpFile()
{
    return HelpFilePath(HelpSet::Console);
}

void DisplayLocalHelp(HWND owner, const WString &topic)
{
    // The topic is honoured as for the console's help: a caller that names a page wants that page.
    Display(owner, WithTopic(GetPathHelpFile(), topic), IdsHelpCaption);
}

void DisplayLocalCCHelp(HWND owner, const WString &topic)
{
    Display(owner, WithTopic(GetPathCCHelpFile(), topic), IdsCCHelpCaption);
}
