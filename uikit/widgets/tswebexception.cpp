#include "widgets/tswebexception.h"

#include <cstdio>

namespace tsweb {

template <typename T>
CException<T>::CException(long code)
{
    // The system message table keeps at most 256 characters for one text here.
    char text[256 + 1] = {};
    const DWORD id = DWORD(code) & 0xFFFF;
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, id, 0x400, text,
                       256, nullptr) == 0)
        std::snprintf(text, sizeof text, "Unknown error: %d", int(id));
    m_message = text;
}

template <typename T>
const char *CException<T>::what() const noexcept
{
    return m_message.c_str();
}

template class CException<void *>;

} // namespace tsweb
