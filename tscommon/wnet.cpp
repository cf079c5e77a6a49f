#include "wnet.h"

#include <algorithm>
#include <string>

namespace {

struct ExtendedError {
    DWORD code = 0;
    std::basic_string<WCHAR> description;
    std::basic_string<WCHAR> provider;
};

thread_local ExtendedError t_lastError;

void CopyCut(const std::basic_string<WCHAR> &text, LPWSTR buffer, DWORD size)
{
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
}

} // namespace

DWORD WNetGetLastErrorW(LPDWORD error, LPWSTR description, DWORD descriptionSize, LPWSTR provider,
                        DWORD providerSize)
{
    if (!error || !description || !provider || descriptionSize == 0 || providerSize == 0)
        return ERROR_INVALID_PARAMETER;
    *error = t_lastError.code;
    CopyCut(t_lastError.description, description, descriptionSize);
    CopyCut(t_lastError.provider, provider, providerSize);
    return NO_ERROR;
}

void WNetSetLastErrorW(DWORD error, LPCWSTR description, LPCWSTR provider)
{
    t_lastError.code = error;
    t_lastError.description = description ? description : u"";
    t_lastError.provider = provider ? provider : u"";
}
