#include "tsmessagebox.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

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

} // namespace

std::u16string FormatMessageText(const std::u16string &format, va_list args)
{
    std::u16string out;
    const std::size_t n = format.size();
    std::size_t i = 0;
    while (i < n) {
        const char16_t c = format[i];
        if (c != u'%') {
            out.push_back(c);
            ++i;
            continue;
        }
        const std::size_t start = i++;
        std::string conversion = "%";
        bool left = false;
        while (i < n && std::u16string(u"-+ #0").find(format[i]) != std::u16string::npos) {
            left = left || format[i] == u'-';
            conversion.push_back(char(format[i++]));
        }
        int width = -1;
        if (i < n && format[i] == u'*') {
            width = va_arg(args, int);
            if (width < 0) {
                left = true;
                conversion.push_back('-'); // numbers are padded by snprintf
                width = width < -4096 ? 4096 : -width; // INT_MIN has no positive counterpart
            }
            ++i;
        } else {
            while (i < n && format[i] >= u'0' && format[i] <= u'9' && width < 4096)
                width = (width < 0 ? 0 : width * 10) + int(format[i++] - u'0');
        }
        int precision = -1;
        if (i < n && format[i] == u'.') {
            ++i;
            precision = 0;
            if (i < n && format[i] == u'*') {
                precision = va_arg(args, int);
                ++i;
            } else {
                while (i < n && format[i] >= u'0' && format[i] <= u'9' && precision < 4096)
                    precision = precision * 10 + int(format[i++] - u'0');
            }
        }
        int size = 0; // 0 int, 1 long, 2 long long; 'h' reads an int too
        if (i + 2 < n && format[i] == u'I' && format[i + 1] == u'6' && format[i + 2] == u'4') {
            size = 2;
            i += 3;
        } else {
            while (i < n && (format[i] == u'h' || format[i] == u'l')) {
                if (format[i] == u'l')
                    ++size;
                ++i;
            }
        }
        if (i >= n) {
            out.append(format, start, std::u16string::npos);
            break;
        }
        const char16_t conv = format[i++];
        width = std::min(width, 4096);
        precision = std::min(precision, 4096);
        if (width >= 0)
            conversion += std::to_string(width);
        if (precision >= 0)
            conversion += "." + std::to_string(precision);
        char buffer[8256]; // widest number: 4096 of width or precision plus sign and digits
        switch (conv) {
        case u'%':
            out.push_back(u'%');
            break;
        case u'd':
        case u'i': {
            const long long v = size >= 2 ? va_arg(args, long long) : size == 1 ? static_cast<long long>(va_arg(args, long))
                                                                                : va_arg(args, int);
            std::snprintf(buffer, sizeof buffer, (conversion + "lld").c_str(), v);
            out += QString::fromLatin1(buffer).toStdU16String();
            break;
        }
        case u'u':
        case u'x':
        case u'X':
        case u'o': {
            const unsigned long long v = size >= 2 ? va_arg(args, unsigned long long)
                                         : size == 1 ? static_cast<unsigned long long>(va_arg(args, unsigned long))
                                                     : va_arg(args, unsigned int);
            std::snprintf(buffer, sizeof buffer, (conversion + "ll" + char(conv)).c_str(), v);
            out += QString::fromLatin1(buffer).toStdU16String();
            break;
        }
        case u'c': {
            const char16_t ch = char16_t(va_arg(args, int));
            AppendPadded(out, std::u16string(1, ch), left, width);
            break;
        }
        case u's':
        case u'S': {
            std::u16string text;
            if (conv == u's') {
                const auto *s = va_arg(args, const char16_t *);
                text = s ? std::u16string(s) : std::u16string(u"(null)");
            } else {
                const char *s = va_arg(args, const char *);
                text = s ? QString::fromUtf8(s).toStdU16String() : std::u16string(u"(null)");
            }
            if (precision >= 0 && std::size_t(precision) < text.size())
                text.resize(std::size_t(precision));
            AppendPadded(out, text, left, width);
            break;
        }
        default:
            out.append(format, start, i - start);
            break;
        }
    }
    return out;
}

} // namespace tscommon

int TsMessageBox(HWND owner, HINSTANCE module, UINT style, LPCWSTR caption, UINT messageId, ...)
{
    std::vector<WCHAR> buffer(16384);
    const int length = LoadStringW(module, messageId, buffer.data(), int(buffer.size()));
    const std::u16string format(buffer.data(), std::size_t(length > 0 ? length : 0));
    va_list args;
    va_start(args, messageId);
    const std::u16string text = tscommon::FormatMessageText(format, args);
    va_end(args);
    return MessageBoxW(owner, text.c_str(), caption, style);
}
