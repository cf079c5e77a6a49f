// Message boxes whose text comes from a language module.
#pragma once
#include "messagetext.h"
#include "tscommon_export.h"
#include "tswin.h"

#include <cstddef>

namespace tscommon {
// TsMessageBox with its arguments gathered (see there).
TSCOMMON_API int ShowMessageBox(HWND owner, HINSTANCE module, UINT style, LPCWSTR caption, UINT messageId,
                                const MessageArg *args, std::size_t count);
} // namespace tscommon

// Shows a modal message box (MessageBoxW) owned by `owner`, with the style bits MB_* of `style`,
// the given caption and the text of the string-table entry `messageId` of `module`. The text may
// hold printf-style directives, filled from the optional arguments as FormatMessageText does: %d %i
// %u %x %X %o %c for integers, %s for a wide (LPCWSTR) text, %S for an 8-bit (UTF-8) text, %% for a
// percent sign. The arguments keep their types, so a text whose directives do not match them (a
// translation with one %s too many, say) shows those directives as written instead of reading
// beyond what was passed. A missing entry (or null module) shows an empty text.
// Returns the ID* of the button pressed, 0 when no box could be shown.
template <class... Args>
int TsMessageBox(HWND owner, HINSTANCE module, UINT style, LPCWSTR caption, UINT messageId,
                 const Args &...args)
{
    const tscommon::MessageArg list[] = {tscommon::MessageArg(args)..., tscommon::MessageArg()};
    return tscommon::ShowMessageBox(owner, module, style, caption, messageId, list, sizeof...(Args));
}
