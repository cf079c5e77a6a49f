// The exception that the column helpers throw.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <exception>
#include <string>

namespace tsweb {

/**
 * @class CException tswebexception.h "widgets/tswebexception.h"
 * An exception carrying the system's message text for an error code. The library throws the
 * instance tsweb::CException<void*>; catch it as such (or as std::exception).
 */
template <typename T>
class TSUIKIT_EXPORT CException : public std::exception
{
public:
    /**
     * The message is the system's text for the low 16 bits of @p code (a Win32 status, or an
     * HRESULT such as E_OUTOFMEMORY), or "Unknown error: N" with those 16 bits as N when the
     * system has no text for it.
     */
    explicit CException(long code);

    /** The message, in the ANSI code page. */
    const char *what() const noexcept override;

private:
    std::string m_message;
};

extern template class CException<void *>;

} // namespace tsweb
