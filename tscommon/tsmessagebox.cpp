#include "tsmessagebox.h"

#include <vector>

namespace tscommon {

int ShowMessageBox(HWND owner, HINSTANCE module, UINT style, LPCWSTR caption, UINT messageId,
                   const MessageArg *args, std::size_t count)
{
    std::vector<WCHAR> buffer(16384);
    const int length = LoadStringW(module, messageId, buffer.data(), int(buffer.size()));
    const std::u16string format(buffer.data(), std::size_t(length > 0 ? length : 0));
    return MessageBoxW(owner, FormatMessageText(format, args, count).c_str(), caption, style);
}

} // namespace tscommon
