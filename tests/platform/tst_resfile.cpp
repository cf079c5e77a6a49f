// The resource-file reader and the string loader, over crafted files.
#include "resbuilder.h"

#include "tswin.h"

#include <gtest/gtest.h>

#include <vector>

using tstest::ResBuilder;

namespace {

HMODULE Load(const QByteArray &bytes)
{
    return TswLoadResourceModuleFromMemory(bytes.constData(), std::size_t(bytes.size()));
}

// Owns a module for the length of a test.
struct Module {
    explicit Module(const QByteArray &bytes) : handle(Load(bytes)) {}
    ~Module() { FreeLibrary(handle); }
    HMODULE handle;
};

std::u16string Text(HMODULE module, UINT id, int size = 16384)
{
    std::vector<WCHAR> buffer(size_t(std::max(size, 1)), u'#');
    const int n = LoadStringW(module, id, buffer.data(), size);
    return std::u16string(buffer.data(), size_t(std::max(n, 0)));
}

} // namespace

TEST(LoadStringW, ReadsEntriesOfEveryPositionInABlock)
{
    std::vector<std::u16string> texts;
    for (int i = 0; i < 16; ++i)
        texts.push_back(i == 5 ? std::u16string() : std::u16string(size_t(i + 1), char16_t(u'a' + i)));
    Module m(ResBuilder().AddStringBlock(46, texts).Bytes()); // ids 720..735
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(Text(m.handle, UINT(720 + i)), texts[size_t(i)]) << "id " << 720 + i;
    EXPECT_EQ(Text(m.handle, 736), u"") << "next block is absent";
}

TEST(LoadStringW, TruncatesToBufferAndTerminates)
{
    Module m(ResBuilder().AddString(33, u"Hello").Bytes());
    struct Row { int size; int expected; std::u16string text; };
    const Row rows[] = {{6, 5, u"Hello"}, {5, 4, u"Hell"}, {2, 1, u"H"}, {1, 0, u""}, {100, 5, u"Hello"}};
    for (const Row &row : rows) {
        std::vector<WCHAR> buffer(110, u'#');
        const int n = LoadStringW(m.handle, 33, buffer.data(), row.size);
        EXPECT_EQ(n, row.expected) << "size " << row.size;
        EXPECT_EQ(std::u16string(buffer.data(), size_t(n)), row.text) << "size " << row.size;
        EXPECT_EQ(buffer[size_t(n)], 0) << "size " << row.size << ": not terminated";
        EXPECT_EQ(buffer[size_t(row.size)], u'#') << "size " << row.size << ": wrote past the buffer";
    }
}

TEST(LoadStringW, SizeZeroGivesPointerAndFullLength)
{
    Module m(ResBuilder().AddString(40, u"Pointer").Bytes());
    const WCHAR *text = nullptr;
    const int n = LoadStringW(m.handle, 40, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_EQ(n, 7);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, 7), u"Pointer");
}

TEST(LoadStringW, LongEntryArrivesCutTo16383Units)
{
    std::u16string longText(20000, u'x');
    for (size_t i = 0; i < longText.size(); ++i)
        longText[i] = char16_t(u'A' + i % 26);
    Module m(ResBuilder().AddString(4711, longText).Bytes());
    const std::u16string got = Text(m.handle, 4711, 16384);
    ASSERT_EQ(got.size(), 16383u);
    EXPECT_EQ(got, longText.substr(0, 16383));
}

TEST(LoadStringW, MissingOrInvalidAnswersZero)
{
    Module m(ResBuilder().AddString(33, u"x").Bytes());
    WCHAR buffer[8] = {u'#'};
    struct Row { const char *what; HINSTANCE module; UINT id; LPWSTR buf; int size; };
    int bogus = 0;
    const Row rows[] = {
        {"null module", nullptr, 33, buffer, 8},
        {"made-up handle", reinterpret_cast<HINSTANCE>(&bogus), 33, buffer, 8},
        {"missing id in present block", m.handle, 34, buffer, 8},
        {"missing block", m.handle, 5000, buffer, 8},
        {"id above 16 bits", m.handle, 0x10000 + 33, buffer, 8},
        {"null buffer", m.handle, 33, nullptr, 8},
        {"negative size", m.handle, 33, buffer, -1},
    };
    for (const Row &row : rows) {
        buffer[0] = u'#';
        EXPECT_EQ(LoadStringW(row.module, row.id, row.buf, row.size), 0) << row.what;
        if (row.buf && row.size > 0) {
            EXPECT_EQ(buffer[0], 0) << row.what << ": buffer not emptied";
        }
    }
}

TEST(LoadStringW, FreedModuleIsAnsweredLikeAMissingOne)
{
    HMODULE h = Load(ResBuilder().AddString(33, u"gone").Bytes());
    ASSERT_EQ(Text(h, 33), u"gone");
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_EQ(Text(h, 33), u"");
    EXPECT_FALSE(FreeLibrary(h)) << "second release of the same handle";
}

TEST(FindResourceW, OrdinalAndNamedTypesAndSizes)
{
    Module m(ResBuilder().AddNamedType("JPEG", 10163, QByteArray("abcde")).Add(10, 7, "xyz").Bytes());
    HRSRC jpeg = FindResourceW(m.handle, MAKEINTRESOURCEW(10163), u"jpeg");
    ASSERT_NE(jpeg, nullptr) << "type names compare without case";
    EXPECT_EQ(SizeofResource(m.handle, jpeg), 5u);
    EXPECT_EQ(QByteArray(static_cast<const char *>(LockResource(LoadResource(m.handle, jpeg))), 5), "abcde");
    EXPECT_NE(FindResourceW(m.handle, MAKEINTRESOURCEW(7), RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(m.handle, MAKEINTRESOURCEW(7), u"JPEG"), nullptr);
    EXPECT_EQ(FindResourceW(m.handle, MAKEINTRESOURCEW(10163), RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(m.handle, u"JPEG", u"JPEG"), nullptr) << "a name never matches an ordinal";
    int bogus = 0;
    EXPECT_EQ(SizeofResource(m.handle, reinterpret_cast<HRSRC>(&bogus)), 0u);
    EXPECT_EQ(LockResource(&bogus), nullptr);
}

TEST(LoadLibraryExW, MissingFileAndBadFlags)
{
    EXPECT_EQ(LoadLibraryExW(u"/nonexistent/tslang_0409.res", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
    EXPECT_EQ(LoadLibraryExW(u"/nonexistent", nullptr, 0), nullptr);
    EXPECT_EQ(LoadLibraryExW(nullptr, nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
}

// Damaged files load without the damaged parts; what comes before stays readable.
TEST(ResourceFile, DamagedFilesKeepWhatIsIntact)
{
    const QByteArray good = ResBuilder().AddString(33, u"first").Bytes();
    const QByteArray second = ResBuilder::Entry(ResBuilder::Ordinal(6), ResBuilder::Ordinal(4),
                                                QByteArray(32, '\0'), 0x409);
    auto withSizes = [&](quint32 dataSize, quint32 headerSize) {
        QByteArray e = second;
        QByteArray sizes;
        ResBuilder::AppendDword(sizes, dataSize);
        ResBuilder::AppendDword(sizes, headerSize);
        e.replace(0, 8, sizes);
        return good + e;
    };
    QByteArray unterminatedName = good;
    ResBuilder::AppendDword(unterminatedName, 0);
    ResBuilder::AppendDword(unterminatedName, 32);
    for (int i = 0; i < 12; ++i)
        ResBuilder::AppendWord(unterminatedName, u'A'); // a type name without its NUL
    struct Row { const char *what; QByteArray bytes; int resources; };
    const Row rows[] = {
        {"intact", good + second, 2},
        {"data size past the end", withSizes(0xFFFFFFF0u, 32), 1},
        {"data size one past the end", withSizes(33, 32), 1},
        {"header size past the end", withSizes(0, 0x7FFFFFFF), 1},
        {"header too small", withSizes(0, 8), 1},
        {"header size zero", withSizes(0, 0), 1},
        {"cut inside the header", (good + second).left(good.size() + 20), 1},
        {"cut inside the data", (good + second).left(good.size() + 40), 1},
        {"unterminated type name", unterminatedName, 1},
        {"trailing garbage", good + QByteArray("\x01\x02\x03", 3), 1},
        {"empty", QByteArray(), 0},
        {"only garbage", QByteArray(1000, '\xFF'), 0},
    };
    for (const Row &row : rows) {
        Module m(row.bytes);
        ASSERT_NE(m.handle, nullptr) << row.what;
        EXPECT_EQ(TswResourceCount(m.handle), row.resources) << row.what;
        if (row.resources >= 1) {
            EXPECT_EQ(Text(m.handle, 33), u"first") << row.what;
        }
        EXPECT_EQ(Text(m.handle, 50), u"") << row.what;
    }
}

// String blocks whose lengths overrun the block give what is there and never read past it.
TEST(LoadStringW, HostileStringBlocks)
{
    struct Row { const char *what; QByteArray block; UINT id; std::u16string expected; };
    QByteArray huge;
    ResBuilder::AppendWord(huge, 0xFFFF); // entry 0 claims 65535 units
    ResBuilder::AppendWord(huge, u'a');
    QByteArray shortBlock;
    ResBuilder::AppendWord(shortBlock, 1);
    ResBuilder::AppendWord(shortBlock, u'z'); // entries 1..15 are missing
    QByteArray odd = shortBlock;
    odd.append('\x05');
    const Row rows[] = {
        {"length past the block", huge, 0, u"a"},
        {"entry after an overrunning one", huge, 1, u""},
        {"block shorter than 16 entries", shortBlock, 0, u"z"},
        {"missing later entry", shortBlock, 9, u""},
        {"odd byte at the end", odd, 1, u""},
        {"empty block", QByteArray(), 0, u""},
    };
    for (const Row &row : rows) {
        Module m(ResBuilder().Add(6, 1, row.block).Bytes());
        EXPECT_EQ(Text(m.handle, row.id), row.expected) << row.what;
    }
}
