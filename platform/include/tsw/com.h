// The in-process COM core: IUnknown, memory streams, marshalling, apartments and class objects.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"
#include "tsw/oleauto.h"

// Interface identifiers, as constants of the header: every module holds its own copy.
inline constexpr IID IID_NULL = {0x00000000, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000,
                                          {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ISequentialStream = {0x0c733a30, 0x2a1c, 0x11ce,
                                              {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
inline constexpr IID IID_IStream = {0x0000000c, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define RPC_E_INVALID_OBJREF ((HRESULT)0x8001011DL)
#define CO_E_CLASS_CREATE_FAILED ((HRESULT)0x80080001L)

// The interface every COM object implements. Objects are never deleted through it; Release does.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void **object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
typedef IUnknown *LPUNKNOWN;

struct IClassFactory : public IUnknown {
    virtual HRESULT CreateInstance(IUnknown *outer, REFIID iid, void **object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

// ---------------------------------------------------------------------------------------------
// Streams

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};
union ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
};

enum STREAM_SEEK { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };
enum STGTY { STGTY_STORAGE = 1, STGTY_STREAM = 2, STGTY_LOCKBYTES = 3, STGTY_PROPERTY = 4 };
enum STATFLAG { STATFLAG_DEFAULT = 0, STATFLAG_NONAME = 1, STATFLAG_NOOPEN = 2 };
#define STGM_READWRITE 0x00000002L
#define STG_E_INSUFFICIENTMEMORY ((HRESULT)0x80030008L)

// Description of a stream. Memory streams keep no name and no times: those fields read zero.
struct STATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    ULARGE_INTEGER mtime;
    ULARGE_INTEGER ctime;
    ULARGE_INTEGER atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
};

struct ISequentialStream : public IUnknown {
    // Reads up to `size` bytes; fewer at the end of the stream (still S_OK).
    virtual HRESULT Read(void *buffer, ULONG size, ULONG *read) = 0;
    // Writes `size` bytes, growing the stream as needed.
    virtual HRESULT Write(const void *buffer, ULONG size, ULONG *written) = 0;

protected:
    ~ISequentialStream() = default;
};

struct IStream : public ISequentialStream {
    virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *newPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER newSize) = 0;
    virtual HRESULT CopyTo(IStream *target, ULARGE_INTEGER size, ULARGE_INTEGER *read,
                           ULARGE_INTEGER *written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) = 0;
    virtual HRESULT Stat(STATSTG *stat, DWORD flags) = 0;
    // A second stream over the same data with its own position, starting at this one's.
    virtual HRESULT Clone(IStream **stream) = 0;

protected:
    ~IStream() = default;
};
typedef IStream *LPSTREAM;

// ---------------------------------------------------------------------------------------------
// Global memory blocks

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// A block of `bytes` bytes, always zeroed. A fixed block's handle is its address; a moveable
// block's content is reached through a stream over it. Null when memory runs out or flags are
// unknown.
TSPLATFORM_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Null on success; the handle itself when it names no live block.
TSPLATFORM_API HGLOBAL GlobalFree(HGLOBAL block);

// Test seam: after `after` more successful block allocations or growths, the next `count` fail as
// if memory had run out. Returns the number of failures that were still pending. Only the calling
// thread's allocations are counted and failed.
TSPLATFORM_API UINT TsFailNextGlobalAllocations(UINT count, UINT after = 0);

// A stream over `block` (a new empty moveable block when null), starting at offset 0 with the
// block's size; writing past the end grows the block (a fixed block moves, so its old handle no
// longer names it). With `deleteOnRelease` the block is freed when the last stream over it goes.
TSPLATFORM_API HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease,
                                             LPSTREAM *stream);

// ---------------------------------------------------------------------------------------------
// Apartments

enum COINIT {
    COINIT_MULTITHREADED = 0x0,
    COINIT_APARTMENTTHREADED = 0x2,
    COINIT_DISABLE_OLE1DDE = 0x4,
    COINIT_SPEED_OVER_MEMORY = 0x8,
};

// Enters the calling thread into an apartment. S_OK for the first entry, S_FALSE for a nested
// one of the same kind, RPC_E_CHANGED_MODE (not counted) for a different kind.
TSPLATFORM_API HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
// Leaves the apartment once per successful CoInitializeEx. When an apartment closes, the
// marshalled data made in it is released.
TSPLATFORM_API void CoUninitialize();

// ---------------------------------------------------------------------------------------------
// Marshalling (in-process)

enum MSHCTX {
    MSHCTX_LOCAL = 0,
    MSHCTX_NOSHAREDMEM = 1,
    MSHCTX_DIFFERENTMACHINE = 2,
    MSHCTX_INPROC = 3,
    MSHCTX_CROSSCTX = 4,
};
enum MSHLFLAGS {
    MSHLFLAGS_NORMAL = 0,
    MSHLFLAGS_TABLESTRONG = 1,
    MSHLFLAGS_TABLEWEAK = 2,
    MSHLFLAGS_NOPING = 4,
};

// Writes to `stream` a record that names `object`'s interface `iid` in this process's table of
// marshalled objects. The table holds a reference until the data is released: normal data by
// its one unmarshalling or by CoReleaseMarshalData, table data only by CoReleaseMarshalData
// (table-weak data is held like table-strong data: this table cannot see an object end).
// Only in-process contexts (MSHCTX_INPROC, MSHCTX_CROSSCTX) are served. Fails with the error
// of the object's QueryInterface, or E_OUTOFMEMORY, leaving no reference behind.
TSPLATFORM_API HRESULT CoMarshalInterface(LPSTREAM stream, REFIID iid, LPUNKNOWN object,
                                          DWORD destContext, LPVOID destContextData,
                                          DWORD flags);
// Reads a record from `stream` and hands out the interface `iid` (the marshalled one for
// IID_NULL) of its object. Records are looked up in the table, never trusted: damaged data
// gives RPC_E_INVALID_OBJREF, released or unknown data CO_E_OBJNOTCONNECTED.
TSPLATFORM_API HRESULT CoUnmarshalInterface(LPSTREAM stream, REFIID iid, LPVOID *object);
// Reads a record from `stream` and releases it and its reference.
TSPLATFORM_API HRESULT CoReleaseMarshalData(LPSTREAM stream);

// ---------------------------------------------------------------------------------------------
// Class objects

enum CLSCTX {
    CLSCTX_INPROC_SERVER = 0x1,
    CLSCTX_INPROC_HANDLER = 0x2,
    CLSCTX_LOCAL_SERVER = 0x4,
    CLSCTX_REMOTE_SERVER = 0x10,
    CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
    CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
    CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                 CLSCTX_REMOTE_SERVER,
};
enum REGCLS {
    REGCLS_SINGLEUSE = 0,
    REGCLS_MULTIPLEUSE = 1,
    REGCLS_MULTI_SEPARATE = 2,
};

// Registers `factory` (an IClassFactory) as the class object of `clsid` for this process;
// the registry holds a reference until CoRevokeClassObject. A single-use registration serves
// one request. E_OUTOFMEMORY, with no reference kept and a zero cookie, when memory runs out.
TSPLATFORM_API HRESULT CoRegisterClassObject(REFCLSID clsid, LPUNKNOWN factory, DWORD context,
                                             DWORD flags, DWORD *cookie);
TSPLATFORM_API HRESULT CoRevokeClassObject(DWORD cookie);
TSPLATFORM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, LPVOID serverInfo,
                                        REFIID iid, LPVOID *object);
// Creates an object of a registered class through its class object.
TSPLATFORM_API HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                                        LPVOID *object);
