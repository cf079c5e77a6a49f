// Message boxes whose text comes from a language module.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

#include <cstdarg>
#include <string>

// Shows a modal message box (MessageBoxW) owned by `owner`, with the style bits MB_* of `style`,
// the given caption and the text of the string-table entry `messageId` of `module`. The text may
// hold printf-style directives, filled from the optional arguments: %d %i %u %x %X %o %c with the
// h, l, ll and I64 sizes, %s for a wide (LPCWSTR) text, %S for an 8-bit (UTF-8) text, %% for a
// percent sign; flags, width and precision as printf. The caller passes exactly the arguments that
// the text asks for. A missing entry (or null module) shows an empty text.
// Returns the ID* of the button pressed, 0 when no box could be shown.
TSCOMMON_API int TsMessageBox(HWND owner, HINSTANCE module, UINT style, LPCWSTR caption,
                              UINT messageId, ...);

namespace tscommon {
// Fills the printf-style `format` from `args` as TsMessageBox does. A directive it does not know is
// copied as it stands and consumes no argument.
TSCOMMON_API std::u16string FormatMessageText(const std::u16string &format, va_list args);
} // namespace tscommon
