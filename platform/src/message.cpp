#include "tsw/message.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

struct SystemMessage {
    DWORD id;
    const char16_t *text;
};

// The system's texts for the statuses the product meets, in English (the language of the system
// message table here).
const SystemMessage kMessages[] = {
    {0, u"The operation completed successfully."},
    {1, u"Incorrect function."},
    {2, u"The system cannot find the file specified."},
    {3, u"The system cannot find the path specified."},
    {5, u"Access is denied."},
    {6, u"The handle is invalid."},
    {8, u"Not enough memory is available to process this command."},
    {13, u"The data is invalid."},
    {14, u"Not enough memory is available to complete this operation."},
    {21, u"The device is not ready."},
    {50, u"The request is not supported."},
    {51, u"The remote computer is not available."},
    {53, u"The network path was not found."},
    {54, u"The network is busy."},
    {59, u"An unexpected network error occurred."},
    {64, u"The specified network name is no longer available."},
    {65, u"Network access is denied."},
    {67, u"The network name cannot be found."},
    {86, u"The specified network password is not correct."},
    {87, u"The parameter is incorrect."},
    {122, u"The data area passed to a system call is too small."},
    {234, u"More data is available."},
    {259, u"No more data is available."},
    {1203, u"The network path is misspelled, does not exist, or its network provider is not available."},
    {1208, u"An extended error has occurred."},
    {1219, u"Multiple connections to a server by the same user with different credentials are not allowed."},
    {1222, u"The network is not present or not started."},
    {1231, u"The network location cannot be reached."},
    {1326, u"The user name or password is incorrect."},
    {1355, u"The specified domain either does not exist or could not be contacted."},
    {1722, u"The RPC server is unavailable."},
    {2102, u"The workstation driver is not installed."},
    {2114, u"The Server service is not started."},
    {2138, u"The Workstation service has not been started."},
    {2351, u"This computer name is invalid."},
    {6118, u"The list of servers for this workgroup is not currently available."},
};

const char16_t *Lookup(DWORD flags, const void *source, DWORD messageId, DWORD languageId, const void *buffer,
                       DWORD size, va_list *arguments)
{
    const DWORD known = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || (flags & ~known) || source || arguments || !buffer ||
        size == 0 || (languageId != 0 && languageId != 0x400)) {
        return nullptr;
    }
    const auto it = std::find_if(std::begin(kMessages), std::end(kMessages),
                                 [messageId](const SystemMessage &m) { return m.id == messageId; });
    if (it == std::end(kMessages)) {
        return nullptr;
    }
    return it->text;
}

// Copies `text` and the "\r\n" that ends every system message; all or nothing.
template <typename Char>
DWORD Store(const char16_t *text, Char *buffer, DWORD size)
{
    const std::u16string message = std::u16string(text) + u"\r\n";
    if (message.size() + 1 > size) {
        buffer[0] = 0;
        return 0;
    }
    // The table is ASCII, so the ANSI text is the same code units narrowed.
    std::transform(message.begin(), message.end(), buffer, [](char16_t c) { return Char(c); });
    buffer[message.size()] = 0;
    return DWORD(message.size());
}

} // namespace

DWORD FormatMessageA(DWORD flags, const void *source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, va_list *arguments)
{
    const char16_t *text = Lookup(flags, source, messageId, languageId, buffer, size, arguments);
    return text ? Store(text, buffer, size) : 0;
}

DWORD FormatMessageW(DWORD flags, const void *source, DWORD messageId, DWORD languageId, LPWSTR buffer,
                     DWORD size, va_list *arguments)
{
    const char16_t *text = Lookup(flags, source, messageId, languageId, buffer, size, arguments);
    return text ? Store(text, buffer, size) : 0;
}
