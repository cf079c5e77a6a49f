// BSTR: a 4-byte byte length, the text, then a NUL unit. The BSTR points at the text.
#include "tsw/oleauto.h"

#include "failureseam.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// Largest byte length we hand out; keeps every size computation far from overflow.
constexpr UINT MaxBstrBytes = 0x7ffffff0u;

struct BstrAllocations;
using Seam = tsplatform::FailureSeam<BstrAllocations>;

bool injectedFailure()
{
    return Seam::fail();
}

// A BSTR of `bytes` bytes, zero-filled, with its terminator; null when memory runs out.
BSTR allocateBytes(UINT bytes)
{
    if (bytes > MaxBstrBytes || injectedFailure())
        return nullptr;
    // Prefix, text, and a full NUL unit even after an odd byte count.
    const size_t total = sizeof(DWORD) + size_t(bytes) + 2 * sizeof(OLECHAR);
    auto *block = static_cast<unsigned char *>(std::calloc(1, total));
    if (!block)
        return nullptr;
    const DWORD prefix = bytes;
    std::memcpy(block, &prefix, sizeof prefix);
    return reinterpret_cast<BSTR>(block + sizeof(DWORD));
}

unsigned char *blockOf(BSTR text)
{
    return reinterpret_cast<unsigned char *>(text) - sizeof(DWORD);
}

} // namespace

BSTR SysAllocString(const OLECHAR *text)
{
    if (!text)
        return nullptr;
    size_t length = 0;
    while (text[length])
        ++length;
    if (length > MaxBstrBytes / sizeof(OLECHAR))
        return nullptr;
    return SysAllocStringLen(text, UINT(length));
}

BSTR SysAllocStringLen(const OLECHAR *text, UINT length)
{
    if (length > MaxBstrBytes / sizeof(OLECHAR))
        return nullptr;
    BSTR result = allocateBytes(length * UINT(sizeof(OLECHAR)));
    if (result && text && length)
        std::memcpy(result, text, size_t(length) * sizeof(OLECHAR));
    return result;
}

BSTR SysAllocStringByteLen(const char *bytes, UINT length)
{
    BSTR result = allocateBytes(length);
    if (result && bytes && length)
        std::memcpy(result, bytes, length);
    return result;
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(blockOf(text));
}

UINT SysStringByteLen(BSTR text)
{
    if (!text)
        return 0;
    DWORD prefix;
    std::memcpy(&prefix, blockOf(text), sizeof prefix);
    return prefix;
}

UINT SysStringLen(BSTR text)
{
    return SysStringByteLen(text) / UINT(sizeof(OLECHAR));
}

UINT TsFailNextBstrAllocations(UINT count, UINT after)
{
    return Seam::arm(count, after);
}
