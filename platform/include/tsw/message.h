// Texts of the system message table.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

#include <cstdarg>

#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000

// FormatMessageA/W with FORMAT_MESSAGE_FROM_SYSTEM: the system's text for the Win32 status `messageId`
// followed by "\r\n", as Windows gives it. Only FORMAT_MESSAGE_FROM_SYSTEM (with or without
// FORMAT_MESSAGE_IGNORE_INSERTS) and the language 0 or LANG_USER_DEFAULT (0x400) are supported;
// `source` and `arguments` must be null. Returns the number of characters stored, without the
// terminating NUL, or 0 for an unknown id, when the text and its NUL do not fit in `size`
// characters (the buffer then holds an empty text), and for any other request.
TSPLATFORM_API DWORD FormatMessageA(DWORD flags, const void *source, DWORD messageId, DWORD languageId,
                                    LPSTR buffer, DWORD size, va_list *arguments);
TSPLATFORM_API DWORD FormatMessageW(DWORD flags, const void *source, DWORD messageId, DWORD languageId,
                                    LPWSTR buffer, DWORD size, va_list *arguments);
