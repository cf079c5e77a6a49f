// Global memory blocks and the stream over one (CreateStreamOnHGlobal).
#include "tsw/com.h"
#include "tsw/atl.h"

#include "failureseam.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <map>
#include <mutex>
#include <new>

namespace {

struct Block {
    unsigned char *data = nullptr;
    SIZE_T size = 0;
    bool moveable = false;
};

// Every live handle, so that a stale or foreign handle is answered, not dereferenced. An ordered
// map: a handle that changes is re-keyed by moving its node, which allocates nothing.
struct BlockTable {
    std::mutex mutex;
    std::map<HGLOBAL, Block *> blocks;
};

BlockTable &table()
{
    static BlockTable *t = new BlockTable; // outlives every static destructor that frees a block
    return *t;
}

struct GlobalAllocations;
using Seam = tsplatform::FailureSeam<GlobalAllocations>;

bool injectedFailure()
{
    return Seam::fail();
}

Block *findLocked(HGLOBAL handle)
{
    auto &t = table();
    auto it = t.blocks.find(handle);
    return it == t.blocks.end() ? nullptr : it->second;
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (flags & ~UINT(GMEM_MOVEABLE | GMEM_ZEROINIT))
        return nullptr;
    if (bytes > SIZE_T(0x7fffffff) || injectedFailure())
        return nullptr;
    auto *block = new (std::nothrow) Block;
    if (!block)
        return nullptr;
    // Never zero bytes, so every block has its own address. Always zeroed: reading a fresh block
    // gives the same answer every time.
    block->data = static_cast<unsigned char *>(std::calloc(bytes ? bytes : 1, 1));
    if (!block->data) {
        delete block;
        return nullptr;
    }
    block->size = bytes;
    block->moveable = (flags & GMEM_MOVEABLE) != 0;
    HGLOBAL handle = block->moveable ? static_cast<HGLOBAL>(block) : block->data;
    try {
        auto &t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        t.blocks.emplace(handle, block);
    } catch (const std::bad_alloc &) {
        std::free(block->data);
        delete block;
        return nullptr;
    }
    return handle;
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    if (!handle)
        return nullptr;
    Block *block;
    {
        auto &t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        block = findLocked(handle);
        if (!block)
            return handle;
        t.blocks.erase(handle);
    }
    std::free(block->data);
    delete block;
    return nullptr;
}

UINT TsFailNextGlobalAllocations(UINT count, UINT after)
{
    return Seam::arm(count, after);
}

// ---------------------------------------------------------------------------------------------
// The stream

namespace {

// Streams are capped at 4 GB, like the system's memory streams.
constexpr ULONGLONG MaxStreamSize = 0xffffffffull;

// 0 for a handle that names no block.
SIZE_T blockSize(HGLOBAL handle)
{
    auto &t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block *block = findLocked(handle);
    return block ? block->size : 0;
}

unsigned char *blockData(HGLOBAL handle)
{
    auto &t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block *block = findLocked(handle);
    return block ? block->data : nullptr;
}

// Resizes the block, zeroing the added bytes. A fixed block that moves gets a new handle (its new
// address), which is returned. Null, the old block intact, on failure.
HGLOBAL resizeBlock(HGLOBAL handle, SIZE_T bytes)
{
    if (bytes > SIZE_T(0x7fffffff))
        return nullptr;
    auto &t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block *block = findLocked(handle);
    if (!block)
        return nullptr;
    if (bytes > block->size) {
        if (injectedFailure())
            return nullptr;
        auto *data = static_cast<unsigned char *>(std::realloc(block->data, bytes));
        if (!data)
            return nullptr;
        std::memset(data + block->size, 0, bytes - block->size);
        block->data = data;
    }
    // Shrinking keeps the storage (and the address); only the size changes.
    block->size = bytes;
    if (!block->moveable && handle != block->data) {
        t.blocks.erase(handle);
        handle = block->data;
        t.blocks.emplace(handle, block);
    }
    return handle;
}

// The block shared by a stream and its clones.
struct SharedBlock {
    HGLOBAL handle = nullptr;
    bool deleteOnRelease = false;
    ~SharedBlock()
    {
        if (deleteOnRelease)
            GlobalFree(handle);
    }
};

class HGlobalStream : public IStream, public CComObjectRootEx<CComMultiThreadModel>
{
public:
    BEGIN_COM_MAP(HGlobalStream)
        COM_INTERFACE_ENTRY_IID(IID_IStream, IStream)
        COM_INTERFACE_ENTRY_IID(IID_ISequentialStream, IStream)
    END_COM_MAP()

    HGlobalStream(std::shared_ptr<SharedBlock> block, ULONGLONG position)
        : m_block(std::move(block)), m_position(position)
    {
    }

    // A new stream over `block` at `position`, held once for the caller.
    static HRESULT Create(std::shared_ptr<SharedBlock> block, ULONGLONG position, IStream **stream)
    {
        CComObject<HGlobalStream> *created = nullptr;
        const HRESULT hr = CComObject<HGlobalStream>::CreateInstance(&created, std::move(block), position);
        if (FAILED(hr))
            return hr;
        created->AddRef();
        *stream = created;
        return S_OK;
    }

    HRESULT Read(void *buffer, ULONG size, ULONG *read) override
    {
        if (read)
            *read = 0;
        if (!buffer)
            return STG_E_INVALIDPOINTER;
        const ULONGLONG total = blockSize(m_block->handle);
        ULONG count = 0;
        if (m_position < total)
            count = ULONG(std::min<ULONGLONG>(size, total - m_position));
        if (count) {
            const unsigned char *data = blockData(m_block->handle);
            if (!data)
                return STG_E_READFAULT;
            std::memcpy(buffer, data + m_position, count);
        }
        m_position += count;
        if (read)
            *read = count;
        return S_OK;
    }

    HRESULT Write(const void *buffer, ULONG size, ULONG *written) override
    {
        if (written)
            *written = 0;
        if (!buffer)
            return STG_E_INVALIDPOINTER;
        if (size == 0)
            return S_OK;
        const ULONGLONG end = m_position + size;
        if (end > MaxStreamSize)
            return STG_E_MEDIUMFULL;
        if (end > blockSize(m_block->handle)) {
            ULARGE_INTEGER newSize;
            newSize.QuadPart = end;
            if (FAILED(SetSize(newSize)))
                return STG_E_MEDIUMFULL;
        }
        unsigned char *data = blockData(m_block->handle);
        if (!data)
            return STG_E_MEDIUMFULL;
        std::memcpy(data + m_position, buffer, size);
        m_position = end;
        if (written)
            *written = size;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *newPosition) override
    {
        LONGLONG base;
        switch (origin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = LONGLONG(m_position); break;
        case STREAM_SEEK_END: base = LONGLONG(blockSize(m_block->handle)); break;
        default: return STG_E_INVALIDFUNCTION;
        }
        // Both terms are below 2^33 in magnitude or checked first: no overflow.
        if (move.QuadPart > LONGLONG(MaxStreamSize) || move.QuadPart < -LONGLONG(MaxStreamSize))
            return STG_E_INVALIDFUNCTION;
        const LONGLONG target = base + move.QuadPart;
        if (target < 0 || ULONGLONG(target) > MaxStreamSize)
            return STG_E_INVALIDFUNCTION;
        m_position = ULONGLONG(target);
        if (newPosition)
            newPosition->QuadPart = m_position;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER newSize) override
    {
        if (newSize.QuadPart > MaxStreamSize)
            return STG_E_INVALIDFUNCTION;
        if (newSize.QuadPart == blockSize(m_block->handle))
            return S_OK;
        HGLOBAL moved = resizeBlock(m_block->handle, SIZE_T(newSize.QuadPart));
        if (!moved)
            return E_OUTOFMEMORY;
        m_block->handle = moved;
        return S_OK;
    }

    HRESULT CopyTo(IStream *target, ULARGE_INTEGER size, ULARGE_INTEGER *read,
                   ULARGE_INTEGER *written) override
    {
        if (read)
            read->QuadPart = 0;
        if (written)
            written->QuadPart = 0;
        if (!target)
            return STG_E_INVALIDPOINTER;
        unsigned char chunk[4096];
        ULONGLONG left = size.QuadPart;
        while (left > 0) {
            ULONG got = 0;
            HRESULT hr = Read(chunk, ULONG(std::min<ULONGLONG>(left, sizeof chunk)), &got);
            if (FAILED(hr))
                return hr;
            if (got == 0)
                break;
            if (read)
                read->QuadPart += got;
            ULONG put = 0;
            hr = target->Write(chunk, got, &put);
            if (written)
                written->QuadPart += put;
            if (FAILED(hr))
                return hr;
            left -= got;
        }
        return S_OK;
    }

    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }

    HRESULT Stat(STATSTG *stat, DWORD flags) override
    {
        if (!stat)
            return STG_E_INVALIDPOINTER;
        std::memset(stat, 0, sizeof *stat);
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = blockSize(m_block->handle);
        stat->grfMode = STGM_READWRITE;
        return S_OK;
    }

    HRESULT Clone(IStream **stream) override
    {
        if (!stream)
            return STG_E_INVALIDPOINTER;
        *stream = nullptr;
        return Create(m_block, m_position, stream);
    }

protected:
    ~HGlobalStream() = default;

private:
    std::shared_ptr<SharedBlock> m_block;
    ULONGLONG m_position = 0;
};

} // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, LPSTREAM *stream)
{
    if (!stream)
        return E_INVALIDARG;
    *stream = nullptr;
    bool ownBlock = false;
    if (!block) {
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 0);
        if (!block)
            return E_OUTOFMEMORY;
        ownBlock = true;
    } else {
        auto &t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        if (!findLocked(block))
            return E_INVALIDARG;
    }
    std::shared_ptr<SharedBlock> shared;
    try {
        shared = std::make_shared<SharedBlock>();
    } catch (const std::bad_alloc &) {
    }
    HRESULT hr = E_OUTOFMEMORY;
    if (shared) {
        shared->handle = block;
        shared->deleteOnRelease = deleteOnRelease != FALSE;
        hr = HGlobalStream::Create(shared, 0, stream);
        if (FAILED(hr))
            shared->deleteOnRelease = false; // the caller keeps its block on failure
    }
    if (FAILED(hr) && ownBlock)
        GlobalFree(block);
    return hr;
}
