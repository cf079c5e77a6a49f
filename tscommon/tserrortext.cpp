#include "tserrortext.h"

#include <algorithm>
#include <iterator>

#include "tswin.h"

DWORD GetErrorText(DWORD code, LPWSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    buffer[0] = 0;
    // Every system text is far shorter than this.
    WCHAR text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  text, DWORD(std::size(text)), nullptr);
    // Without the line end that closes every system message.
    while (length > 0 && (text[length - 1] == u'\n' || text[length - 1] == u'\r'))
        --length;
    length = std::min<DWORD>(length, size - 1);
    std::copy(text, text + length, buffer);
    buffer[length] = 0;
    return length;
}
