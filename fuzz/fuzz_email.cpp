// IsValidEmailAddress on arbitrary UTF-16 text. The text sits in a heap block of exactly its size
// plus the terminating zero, so AddressSanitizer reports any read past that zero.
#include "foundation/valueformat.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::size_t units = size / 2;
    std::unique_ptr<unsigned short[]> text(new unsigned short[units + 1]);
    for (std::size_t i = 0; i < units; ++i)
        text[i] = static_cast<unsigned short>(data[2 * i] | (data[2 * i + 1] << 8));
    text[units] = 0;
    if (IsValidEmailAddress(text.get())) {
        // A valid address holds only printable ASCII and (escaped, quoted) spaces, and an "@".
        bool at = false;
        for (const unsigned short *c = text.get(); *c; ++c) {
            if (*c < 32 || *c > 126)
                __builtin_trap();
            at = at || *c == '@';
        }
        if (!at)
            __builtin_trap();
    }
    return 0;
}
