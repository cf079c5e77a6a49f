// Linkage and shared types of the TsUIKit library.
#pragma once

#include <QString>
#include <string>

#include "tsuikit_export.h"
#include "tswin.h"

// Text in exported signatures: 16-bit UTF-16 code units, whatever the width of wchar_t.
typedef std::basic_string<WCHAR> WString;

// Code unit for code unit conversions between WString and QString.
// (Not fromUtf16: it takes a leading U+FEFF for a byte-order mark and drops it.)
inline QString QStringFromWString(const WString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), int(text.size()));
}

inline WString WStringFromQString(const QString &text)
{
    return WString(reinterpret_cast<const WCHAR *>(text.utf16()), size_t(text.size()));
}
