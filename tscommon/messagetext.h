// Message texts with printf-style directives, filled from arguments that carry their types, so that a
// text (a translation, say) that does not match what the caller passed cannot read past it.
#pragma once
#include "tscommon_export.h"

#include <cstddef>
#include <string>
#include <type_traits>

namespace tscommon {

// One argument of a message text: an integer, a wide (UTF-16) text or an 8-bit (UTF-8) text.
// Anything else is kept as "other", which no directive accepts.
class MessageArg
{
public:
    enum class Kind { Other, Signed, Unsigned, WideText, Utf8Text };

    MessageArg() = default;

    template <class T>
    explicit MessageArg(const T &value)
    {
        using D = std::decay_t<T>;
        if constexpr (std::is_enum_v<D>) {
            SetInteger(static_cast<std::underlying_type_t<D>>(value));
        } else if constexpr (std::is_integral_v<D> && !std::is_same_v<D, bool>) {
            SetInteger(value);
        } else if constexpr (std::is_same_v<D, std::nullptr_t>) {
            // a text of no known width
        } else if constexpr (std::is_convertible_v<const T &, const char16_t *>) {
            m_kind = Kind::WideText;
            m_wide = value;
        } else if constexpr (std::is_convertible_v<const T &, const unsigned short *>) {
            m_kind = Kind::WideText;
            m_wide = reinterpret_cast<const char16_t *>(static_cast<const unsigned short *>(value));
        } else if constexpr (std::is_convertible_v<const T &, const char *>) {
            m_kind = Kind::Utf8Text;
            m_utf8 = value;
        }
    }

    Kind kind() const { return m_kind; }
    bool isInteger() const { return m_kind == Kind::Signed || m_kind == Kind::Unsigned; }
    // The integer as a signed or unsigned value of its (promoted) size, as printf would read it.
    long long asSigned() const;
    unsigned long long asUnsigned() const;
    const char16_t *wideText() const { return m_wide; }
    const char *utf8Text() const { return m_utf8; }

private:
    template <class I>
    void SetInteger(I value)
    {
        // Narrower than int: promoted to int, as for a variadic call.
        if constexpr (sizeof(I) < sizeof(int)) {
            m_kind = Kind::Signed;
            m_bits = static_cast<unsigned long long>(static_cast<long long>(static_cast<int>(value)));
            m_bytes = sizeof(int);
        } else {
            m_kind = std::is_signed_v<I> ? Kind::Signed : Kind::Unsigned;
            m_bits = static_cast<unsigned long long>(value);
            m_bytes = sizeof(I);
        }
    }

    Kind m_kind = Kind::Other;
    unsigned long long m_bits = 0;
    std::size_t m_bytes = 0;
    const char16_t *m_wide = nullptr;
    const char *m_utf8 = nullptr;
};

// Fills the printf-style `format` from `args` (`count` of them): %d %i %u %x %X %o %c take an
// integer, %s a wide text, %S an 8-bit (UTF-8) text, '*' as width or precision an integer; %% is a
// percent sign. Flags, width and precision as printf; the sizes h, l, ll and I64 are accepted, the
// argument's own type decides its width. A directive whose argument is missing or of another kind is
// copied as it stands (and uses up its arguments); a directive it does not know is copied as it
// stands and takes no argument. Arguments left over are ignored.
TSCOMMON_API std::u16string FormatMessageText(const std::u16string &format, const MessageArg *args,
                                              std::size_t count);

} // namespace tscommon
