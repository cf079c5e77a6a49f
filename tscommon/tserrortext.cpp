#include "tserrortext.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {

struct ErrorText {
    DWORD code;
    const char16_t *text;
};

const ErrorText kTexts[] = {
    {0, u"The operation completed successfully."},
    {1, u"Incorrect function."},
    {2, u"The system cannot find the file specified."},
    {3, u"The system cannot find the path specified."},
    {5, u"Access is denied."},
    {6, u"The handle is invalid."},
    {8, u"Not enough memory is available to process this command."},
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

} // namespace

DWORD GetErrorText(DWORD code, LPWSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    buffer[0] = 0;
    const auto it = std::find_if(std::begin(kTexts), std::end(kTexts),
                                 [code](const ErrorText &e) { return e.code == code; });
    if (it == std::end(kTexts))
        return 0;
    const std::size_t length = std::min<std::size_t>(std::char_traits<char16_t>::length(it->text), size - 1);
    std::memcpy(buffer, it->text, length * sizeof(WCHAR));
    buffer[length] = 0;
    return DWORD(length);
}
