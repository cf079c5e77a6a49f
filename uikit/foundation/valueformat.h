// Texts for byte counts, 64-bit counters and volume names, and the syntax check of e-mail
// addresses. The texts are the same in every language.
#pragma once

#include "foundation/tsuikitglobal.h"

/**
 * A byte count as a short size in the largest unit of 1024 that the count exceeds, with one
 * decimal ("%.1f", the decimal point of the C runtime's numeric conventions) and the unit:
 * "0.5 KB", "1024.0 KB", "1.0 MB", "1.5 GB", "1.0 TB". There is no unit of bytes, and a count of
 * exactly one unit boundary stays in the smaller unit.
 *
 * @throws ATL::CAtlException E_OUTOFMEMORY when the text cannot be allocated
 */
TSUIKIT_EXPORT ATL::CComBSTR ByteConvert(ULONGLONG bytes);

/**
 * @p value in plain decimal digits, without grouping or padding ("1234567").
 *
 * @throws ATL::CAtlException E_OUTOFMEMORY when the text cannot be allocated
 */
TSUIKIT_EXPORT ATL::CComBSTR PrintString64(ULONGLONG value);

/**
 * The display name of a volume, assigned to @p result by the first rule that applies:
 * a label and a drive root give "(C:) label"; a label alone gives the label; a drive root alone
 * gives "(C:)"; a mount-point path gives the path; anything else gives @p fallbackName.
 * Any argument may be @p result itself.
 *
 * @throws ATL::CAtlException E_OUTOFMEMORY when the text cannot be allocated
 */
TSUIKIT_EXPORT void VolumeDisplayFormat(const ATL::CComBSTR &label, const ATL::CComBSTR &driveRoot,
                                        const ATL::CComBSTR &fallbackName,
                                        const ATL::CComBSTR &mountPoint, ATL::CComBSTR &result);

/**
 * @return true when @p text is a drive root: exactly 3 characters, the second ":" and the third
 *         "\" (as C:\); the first is not checked
 */
TSUIKIT_EXPORT bool s_IsDriveLetter(const ATL::CComBSTR &text);

/**
 * @return true when @p text is a mount-point path: 4 or more characters, the second ":" and the
 *         third "\" (as C:\Mount\Data\)
 */
TSUIKIT_EXPORT bool s_IsMountPoint(const ATL::CComBSTR &text);

/**
 * Checks the syntax of a zero-terminated UTF-16 e-mail address: a local part of printable ASCII
 * characters other than ( ) < > @ , ; : \ " [ ], or of quoted runs (opened at the start or after
 * a full stop, with backslash escapes), not empty and not ending with a full stop; an "@"; and a
 * domain of the same characters holding at least one full stop, none first and none doubled.
 * Nothing past the terminating zero is read.
 *
 * @return true for a syntactically valid address; false otherwise and for a null pointer
 */
TSUIKIT_EXPORT bool IsValidEmailAddress(const unsigned short *address);
