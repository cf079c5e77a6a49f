#include "foundation/valueformat.h"

#include <cinttypes>
#include <cstdio>

using ATL::CComBSTR;

namespace {

// An ASCII text produced by printf as a BSTR.
CComBSTR FromAscii(const char *text)
{
    OLECHAR wide[64];
    size_t i = 0;
    for (; text[i] && i + 1 < sizeof wide / sizeof wide[0]; ++i)
        wide[i] = OLECHAR(static_cast<unsigned char>(text[i]));
    wide[i] = 0;
    return CComBSTR(int(i), wide);
}

bool HasRootShape(const CComBSTR &text)
{
    return text.m_str && text.m_str[1] == u':' && text.m_str[2] == u'\\';
}

// Printable: above the space and below DEL; so no space, control or non-ASCII character.
bool IsPrintable(unsigned short c)
{
    return c > 32 && c < 127;
}

bool IsSpecial(unsigned short c)
{
    switch (c) {
    case '(': case ')': case '<': case '>': case '@': case ',':
    case ';': case ':': case '\\': case '"': case '[': case ']':
        return true;
    default:
        return false;
    }
}

} // namespace

CComBSTR ByteConvert(ULONGLONG bytes)
{
    static const struct {
        ULONGLONG above;
        double divisor;
        const char *unit;
    } units[] = {
        {1099511627776ULL, 1099511627776.0, "TB"},
        {1073741824ULL, 1073741824.0, "GB"},
        {1048576ULL, 1048576.0, "MB"},
    };
    const char *unit = "KB";
    double divisor = 1024.0;
    for (const auto &u : units) {
        if (bytes > u.above) {
            unit = u.unit;
            divisor = u.divisor;
            break;
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s", double(bytes) / divisor, unit);
    return FromAscii(text);
}

CComBSTR PrintString64(ULONGLONG value)
{
    // Unsigned, so that counts of 2^63 and more read as themselves rather than as negatives.
    char text[32];
    std::snprintf(text, sizeof text, "%" PRIu64, std::uint64_t(value));
    return FromAscii(text);
}

bool s_IsDriveLetter(const CComBSTR &text)
{
    return text.Length() == 3 && HasRootShape(text);
}

bool s_IsMountPoint(const CComBSTR &text)
{
    return text.Length() >= 4 && HasRootShape(text);
}

void VolumeDisplayFormat(const CComBSTR &label, const CComBSTR &driveRoot,
                         const CComBSTR &fallbackName, const CComBSTR &mountPoint,
                         CComBSTR &result)
{
    // Built aside and moved in at the end: `result` may be one of the arguments.
    CComBSTR text;
    const bool hasLabel = label.Length() > 0;
    const bool isRoot = s_IsDriveLetter(driveRoot);
    if (isRoot) {
        // By length: the letter is copied unchecked, and may even be a NUL.
        const OLECHAR letter[] = {u'(', driveRoot.m_str[0], u':', u')'};
        text = CComBSTR(4, letter);
    }
    if (hasLabel && isRoot) {
        text += u" ";
        text += label;
    } else if (hasLabel) {
        text = label;
    } else if (isRoot) {
        // "(C:)" as built above.
    } else if (mountPoint.Length() > 0 && s_IsMountPoint(mountPoint)) {
        text = mountPoint;
    } else {
        text = fallbackName;
    }
    result = std::move(text);
}

bool IsValidEmailAddress(const unsigned short *address)
{
    if (!address)
        return false;
    const unsigned short *c = address;

    // Local part: up to the first "@" outside quotes.
    for (;;) {
        if (*c == 0)
            return false;
        if (*c == '"' && (c == address || c[-1] == '.')) {
            for (++c; *c != '"'; ++c) {
                if (*c == 0)
                    return false;
                if (*c == '\\') {
                    ++c;
                    if (*c == 0)
                        return false;
                    if (*c != ' ' && !IsPrintable(*c))
                        return false;
                } else if (!IsPrintable(*c)) {
                    return false;
                }
            }
            ++c; // past the closing quote
            if (*c == '@')
                break;
            if (*c != '.')
                return false;
            ++c;
            continue;
        }
        if (*c == '@')
            break;
        if (!IsPrintable(*c) || IsSpecial(*c))
            return false;
        ++c;
    }
    if (c == address || c[-1] == '.')
        return false;

    // Domain: everything after that "@".
    const unsigned short *domain = ++c;
    if (*c == 0)
        return false;
    int dots = 0;
    for (; *c != 0; ++c) {
        if (!IsPrintable(*c) || IsSpecial(*c))
            return false;
        if (*c == '.') {
            if (c == domain || c[-1] == '.')
                return false;
            ++dots;
        }
    }
    return dots > 0;
}
