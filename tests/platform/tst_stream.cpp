// Global memory blocks and the memory stream over one.
#include "testobject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using tstest::SeamReset;

namespace {

LARGE_INTEGER offset(LONGLONG v)
{
    LARGE_INTEGER l;
    l.QuadPart = v;
    return l;
}

ULONGLONG positionOf(IStream *s)
{
    ULARGE_INTEGER pos;
    pos.QuadPart = ~0ull;
    s->Seek(offset(0), STREAM_SEEK_CUR, &pos);
    return pos.QuadPart;
}

std::string readAll(IStream *s)
{
    tstest::Rewind(s);
    std::string out;
    char buf[7];
    ULONG got = 0;
    while (SUCCEEDED(s->Read(buf, sizeof buf, &got)) && got)
        out.append(buf, got);
    return out;
}

} // namespace

TEST(GlobalMemory, BlocksAndHandles)
{
    HGLOBAL fixed = GlobalAlloc(GMEM_ZEROINIT, 16);
    ASSERT_NE(fixed, nullptr);
    // A fixed block's handle is its memory.
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(static_cast<unsigned char *>(fixed)[i], 0);
    HGLOBAL moveable = GlobalAlloc(GHND, 4);
    ASSERT_NE(moveable, nullptr);

    EXPECT_EQ(GlobalFree(fixed), nullptr);
    EXPECT_EQ(GlobalFree(moveable), nullptr);
    // Stale and foreign handles are answered, not used.
    int local = 0;
    EXPECT_EQ(GlobalFree(moveable), moveable);
    EXPECT_EQ(GlobalFree(&local), &local);
    EXPECT_EQ(GlobalAlloc(0x8000, 1), nullptr);
}

TEST(Stream, WriteReadSeekTable)
{
    IStream *s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    ULONG n = 0;
    ASSERT_EQ(s->Write("hello world", 11, &n), S_OK);
    EXPECT_EQ(n, 11u);

    struct Case {
        LONGLONG move;
        DWORD origin;
        HRESULT hr;
        ULONGLONG position; // after the call
    } cases[] = {
        {0, STREAM_SEEK_SET, S_OK, 0},
        {6, STREAM_SEEK_SET, S_OK, 6},
        {-2, STREAM_SEEK_CUR, S_OK, 4},
        {-1, STREAM_SEEK_END, S_OK, 10},
        {-11, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 10},
        {5, STREAM_SEEK_END, S_OK, 16},
        {0, 3, STG_E_INVALIDFUNCTION, 16},
        {0x100000000ll, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 16},
        {LONGLONG(0x8000000000000000ull), STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 16},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.move << " from " << c.origin);
        EXPECT_EQ(s->Seek(offset(c.move), c.origin, nullptr), c.hr);
        EXPECT_EQ(positionOf(s), c.position);
    }
    // Reading past the end reads nothing and succeeds.
    char buf[4];
    EXPECT_EQ(s->Read(buf, 4, &n), S_OK);
    EXPECT_EQ(n, 0u);
    // Writing past the end fills the gap with zeros.
    ASSERT_EQ(s->Write("!", 1, &n), S_OK);
    EXPECT_EQ(readAll(s), std::string("hello world\0\0\0\0\0!", 17));
    s->Seek(offset(-3), STREAM_SEEK_END, nullptr);
    EXPECT_EQ(s->Read(buf, 4, &n), S_OK);
    EXPECT_EQ(n, 3u);

    STATSTG stat;
    EXPECT_EQ(s->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.type, DWORD(STGTY_STREAM));
    EXPECT_EQ(stat.cbSize.QuadPart, 17u);
    EXPECT_EQ(s->Read(nullptr, 1, &n), STG_E_INVALIDPOINTER);
    EXPECT_EQ(s->Release(), 0u);
}

TEST(Stream, SetSizeKeepsPositionAndTruncates)
{
    IStream *s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    s->Write("abcdef", 6, nullptr);
    ULARGE_INTEGER size;
    size.QuadPart = 3;
    EXPECT_EQ(s->SetSize(size), S_OK);
    EXPECT_EQ(positionOf(s), 6u);
    EXPECT_EQ(readAll(s), "abc");
    size.QuadPart = 0x100000000ull;
    EXPECT_EQ(s->SetSize(size), STG_E_INVALIDFUNCTION);
    s->Release();
}

TEST(Stream, OverExistingBlockStartsAtZeroWithTheBlockSizeAndGrowsIt)
{
    struct Row {
        const char *what;
        UINT flags;
        BOOL deleteOnRelease;
    };
    const Row rows[] = {
        {"fixed, freed with the stream", GMEM_FIXED, TRUE},
        {"moveable, freed with the stream", GMEM_MOVEABLE, TRUE},
        {"moveable, kept by the caller", GMEM_MOVEABLE, FALSE},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        HGLOBAL h = GlobalAlloc(row.flags, 4);
        IStream *s = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(h, FALSE, &s), S_OK);
        s->Write("data", 4, nullptr);
        s->Release();
        ASSERT_EQ(CreateStreamOnHGlobal(h, row.deleteOnRelease, &s), S_OK);
        EXPECT_EQ(positionOf(s), 0u);
        EXPECT_EQ(readAll(s), "data");
        // Growing moves a fixed block; the stream follows it.
        s->Seek(offset(4096), STREAM_SEEK_SET, nullptr);
        s->Write("more", 4, nullptr);
        const std::string all = readAll(s);
        EXPECT_EQ(all.size(), 4100u);
        EXPECT_EQ(all.substr(0, 4), "data");
        EXPECT_EQ(all.find_first_not_of('\0', 4), 4096u) << "the gap reads as zeros";
        s->Release();
        if (!row.deleteOnRelease) {
            EXPECT_EQ(GlobalFree(h), nullptr) << "the caller still owns the grown block";
        } else if (row.flags == GMEM_MOVEABLE) {
            EXPECT_EQ(GlobalFree(h), h) << "already freed";
        }
    }
}

TEST(Stream, DeleteOnReleaseFreesBlockAfterLastClone)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
    IStream *s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(h, TRUE, &s), S_OK);
    s->Write("xyz", 3, nullptr);
    IStream *clone = nullptr;
    ASSERT_EQ(s->Clone(&clone), S_OK);
    EXPECT_EQ(positionOf(clone), 3u);
    s->Release();
    EXPECT_EQ(readAll(clone), "xyz") << "still alive through the clone";
    clone->Release();
    EXPECT_EQ(GlobalFree(h), h) << "already freed";
}

TEST(Stream, BadArgumentsAndGrowthFailure)
{
    SeamReset reset;
    IStream *s = nullptr;
    int local = 0;
    EXPECT_EQ(CreateStreamOnHGlobal(&local, TRUE, &s), E_INVALIDARG);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
    TsFailNextGlobalAllocations(1);
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), E_OUTOFMEMORY);

    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    s->Write("ab", 2, nullptr);
    TsFailNextGlobalAllocations(1);
    ULONG n = 99;
    EXPECT_EQ(s->Write("cd", 2, &n), STG_E_MEDIUMFULL);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(readAll(s), "ab");
    void *out = nullptr;
    EXPECT_EQ(s->QueryInterface(IID_ISequentialStream, &out), S_OK);
    static_cast<IUnknown *>(out)->Release();
    EXPECT_EQ(s->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    s->Release();
}
