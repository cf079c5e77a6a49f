#include "messagetext.h"

#include "formatdirective_p.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace tscommon {

namespace {

void AppendPadded(std::u16string &out, const std::u16string &text, bool left, int width)
{
    const int pad = width > int(text.size()) ? width - int(text.size()) : 0;
    if (!left)
        out.append(std::size_t(pad), u' ');
    out += text;
    if (left)
        out.append(std::size_t(pad), u' ');
}

bool Accepts(const FormatDirective &d, const MessageArg *arg)
{
    if (!arg)
        return false;
    if (d.IsInteger())
        return arg->isInteger();
    if (d.conversion == u's')
        return arg->kind() == MessageArg::Kind::WideText;
    return arg->kind() == MessageArg::Kind::Utf8Text; // %S
}

// A '*' argument as a width or precision, within what the formatter pads to.
int StarValue(const MessageArg &arg)
{
    const long long v = arg.asSigned();
    return int(std::clamp<long long>(v, -4096, 4096));
}

// Fills one directive that has its arguments; `width` and `precision` are -1 when not given.
void Fill(std::u16string &out, const FormatDirective &d, const MessageArg &value, int width, bool left,
          int precision)
{
    std::string conversion = "%" + d.flags;
    if (left)
        conversion.push_back('-');
    if (width >= 0)
        conversion += std::to_string(width);
    if (precision >= 0)
        conversion += "." + std::to_string(precision);
    char buffer[8256]; // widest number: 4096 of width or precision plus sign and digits
    switch (d.conversion) {
    case u'd':
    case u'i':
        std::snprintf(buffer, sizeof buffer, (conversion + "lld").c_str(), value.asSigned());
        out += QString::fromLatin1(buffer).toStdU16String();
        break;
    case u'u':
    case u'x':
    case u'X':
    case u'o':
        std::snprintf(buffer, sizeof buffer, (conversion + "ll" + char(d.conversion)).c_str(),
                      value.asUnsigned());
        out += QString::fromLatin1(buffer).toStdU16String();
        break;
    case u'c':
        AppendPadded(out, std::u16string(1, char16_t(value.asUnsigned())), left, width);
        break;
    default: { // s, S
        std::u16string text;
        if (d.conversion == u's')
            text = value.wideText() ? std::u16string(value.wideText()) : std::u16string(u"(null)");
        else
            text = value.utf8Text() ? QString::fromUtf8(value.utf8Text()).toStdU16String()
                                    : std::u16string(u"(null)");
        if (precision >= 0 && std::size_t(precision) < text.size())
            text.resize(std::size_t(precision));
        AppendPadded(out, text, left, width);
        break;
    }
    }
}

} // namespace

long long MessageArg::asSigned() const
{
    if (m_bytes >= sizeof(long long))
        return static_cast<long long>(m_bits);
    const unsigned bits = unsigned(m_bytes * CHAR_BIT);
    const unsigned long long sign = 1ull << (bits - 1);
    const unsigned long long v = m_bits & ((1ull << bits) - 1);
    return static_cast<long long>(v ^ sign) - static_cast<long long>(sign);
}

unsigned long long MessageArg::asUnsigned() const
{
    if (m_bytes >= sizeof(unsigned long long))
        return m_bits;
    return m_bits & ((1ull << (m_bytes * CHAR_BIT)) - 1);
}

std::u16string FormatMessageText(const std::u16string &format, const MessageArg *args, std::size_t count)
{
    std::u16string out;
    std::size_t next = 0;
    const auto take = [&]() -> const MessageArg * { return args && next < count ? &args[next++] : nullptr; };
    std::size_t i = 0;
    while (i < format.size()) {
        const std::size_t percent = format.find(u'%', i);
        if (percent == std::u16string::npos) {
            out.append(format, i, std::u16string::npos);
            break;
        }
        out.append(format, i, percent - i);
        const FormatDirective d = ReadFormatDirective(format, percent);
        i = d.end;
        if (d.conversion == u'%') {
            out.push_back(u'%');
            continue;
        }
        const std::u16string_view literal(format.data() + d.begin, d.end - d.begin);
        if (!d.TakesArgument()) {
            out += literal;
            continue;
        }
        const MessageArg *width = d.widthFromArg ? take() : nullptr;
        const MessageArg *precision = d.precisionFromArg ? take() : nullptr;
        const MessageArg *value = take();
        if ((d.widthFromArg && !(width && width->isInteger()))
            || (d.precisionFromArg && !(precision && precision->isInteger())) || !Accepts(d, value)) {
            out += literal;
            continue;
        }
        int w = d.width;
        bool left = d.flags.find('-') != std::string::npos;
        if (width) { // a negative '*' width pads on the right
            w = StarValue(*width);
            left = left || w < 0;
            w = w < 0 ? -w : w;
        }
        Fill(out, d, *value, w, left, precision ? StarValue(*precision) : d.precision);
    }
    return out;
}

} // namespace tscommon
