#include "formatdirective_p.h"

namespace tscommon {

namespace {

constexpr int kMaxDigits = 4096;

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int ReadNumber(const std::u16string &text, std::size_t &i)
{
    int value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        if (value < kMaxDigits)
            value = value * 10 + int(text[i] - u'0');
        ++i;
    }
    return value < kMaxDigits ? value : kMaxDigits;
}

} // namespace

bool FormatDirective::TakesArgument() const
{
    return conversion != 0 && std::u16string_view(u"diuxXocsS").find(conversion) != std::u16string_view::npos;
}

bool FormatDirective::IsInteger() const
{
    return conversion != 0 && std::u16string_view(u"diuxXoc").find(conversion) != std::u16string_view::npos;
}

FormatDirective ReadFormatDirective(const std::u16string &text, std::size_t pos)
{
    FormatDirective d;
    d.begin = pos;
    const std::size_t n = text.size();
    std::size_t i = pos + 1;
    while (i < n && std::u16string_view(u"-+ #0").find(text[i]) != std::u16string_view::npos)
        d.flags.push_back(char(text[i++]));
    if (i < n && text[i] == u'*') {
        d.widthFromArg = true;
        ++i;
    } else if (i < n && IsDigit(text[i])) {
        d.width = ReadNumber(text, i);
    }
    if (i < n && text[i] == u'.') {
        ++i;
        if (i < n && text[i] == u'*') {
            d.precisionFromArg = true;
            ++i;
        } else {
            d.precision = ReadNumber(text, i);
        }
    }
    const std::size_t sizeStart = i;
    if (text.compare(i, 3, u"I64") == 0)
        i += 3;
    else
        while (i < n && (text[i] == u'h' || text[i] == u'l'))
            ++i;
    d.size = text.substr(sizeStart, i - sizeStart);
    if (i < n)
        d.conversion = text[i++];
    d.end = i;
    return d;
}

std::u16string DirectiveSignature(const std::u16string &text)
{
    std::u16string signature;
    for (std::size_t i = text.find(u'%'); i != std::u16string::npos; i = text.find(u'%', i)) {
        const FormatDirective d = ReadFormatDirective(text, i);
        i = d.end;
        if (!d.TakesArgument())
            continue;
        if (!signature.empty())
            signature += u' ';
        signature += u'%';
        if (d.widthFromArg)
            signature += u'*';
        if (d.precisionFromArg)
            signature += u".*";
        signature += d.size;
        signature += d.conversion;
    }
    return signature;
}

} // namespace tscommon
