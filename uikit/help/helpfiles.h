// The product's compiled help files in the user's language, and opening them in the help viewer.
#pragma once

#include "foundation/tsuikitglobal.h"

/**
 * The full path of the main help file for the user's language (GetUserDefaultLangID): the
 * installation folder, a backslash, and "TsHelpGM.chm" (German), "TsHelpEN.chm" (English),
 * "TsHelpFR.chm" (French) or "TsHelpJP.chm" (Japanese). Other languages, and a language whose file
 * is missing, get the English file, which is not checked. An empty installation folder gives the
 * bare file name (a file of the current folder).
 */
TSUIKIT_EXPORT WString GetPathHelpFile();

/** The same for the console's help: "TsCCHelpGM.chm", "TsCCHelpEN.chm" and so on. */
TSUIKIT_EXPORT WString GetPathCCHelpFile();

/**
 * Opens the main help file in the help viewer, owned by @p owner: at the page @p topic names (a
 * page of the compiled file, e.g. "console.htm"), or at its default page when @p topic is empty.
 * When the viewer cannot open the file, shows an error box (the language module's text 33, caption
 * text 129) owned by @p owner and returns once it is closed.
 */
TSUIKIT_EXPORT void DisplayLocalHelp(HWND owner, const WString &topic);

/** The same for the console's help file; the error box's caption is text 1481. */
TSUIKIT_EXPORT void DisplayLocalCCHelp(HWND owner, const WString &topic);
