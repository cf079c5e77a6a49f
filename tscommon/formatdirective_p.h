// printf-style directives of message texts, read the same way by the formatter and by the build's
// check of the language modules. Internal to the common library.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tscommon {

struct FormatDirective {
    std::size_t begin = 0;     // the '%'
    std::size_t end = 0;       // one past the directive
    std::string flags;         // any of "-+ #0", as written
    int width = -1;            // -1: none; at most 4096
    int precision = -1;        // -1: none; at most 4096
    bool widthFromArg = false; // '*'
    bool precisionFromArg = false;
    std::u16string size;       // "h", "l", "ll", "I64" ... as written
    char16_t conversion = 0;   // 0: the text ends inside the directive

    // d i u x X o c s S: a directive that takes an argument ('*' ones take one more each).
    bool TakesArgument() const;
    bool IsInteger() const;
};

// The directive whose '%' is at `pos` in `text`.
FormatDirective ReadFormatDirective(const std::u16string &text, std::size_t pos);

// The directives of `text` that take arguments, in order, each without its flags and digits
// ("%s %*d %ls"): two texts that the same arguments fill give the same signature.
std::u16string DirectiveSignature(const std::u16string &text);

} // namespace tscommon
