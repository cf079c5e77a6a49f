// Byte counts, 64-bit counters, volume names and the e-mail address check.
#include "foundation/valueformat.h"

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <vector>

using ATL::CComBSTR;

namespace {

std::string Text(const CComBSTR &text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text.m_str), int(text.Length()))
        .toStdString();
}

struct ByteRow {
    ULONGLONG bytes;
    const char *expected;
};

TEST(ByteConvert, EachUnitBoundary)
{
    const ByteRow rows[] = {
        {0, "0.0 KB"},
        {1, "0.0 KB"},
        {52, "0.1 KB"},
        {512, "0.5 KB"},
        {1023, "1.0 KB"},
        {1024, "1.0 KB"},
        {1076, "1.1 KB"},
        {1048575, "1024.0 KB"},
        {1048576, "1024.0 KB"},
        {1048577, "1.0 MB"},
        {1073741823, "1024.0 MB"},
        {1073741824, "1024.0 MB"},
        {1073741825, "1.0 GB"},
        {1610612736, "1.5 GB"},
        {1099511627775ULL, "1024.0 GB"},
        {1099511627776ULL, "1024.0 GB"},
        {1099511627777ULL, "1.0 TB"},
        {1125899906842624ULL, "1024.0 TB"},
        {0x7fffffffffffffffULL, "8388608.0 TB"},
        {0xffffffffffffffffULL, "16777216.0 TB"},
    };
    for (const ByteRow &row : rows)
        EXPECT_EQ(row.expected, Text(ByteConvert(row.bytes))) << row.bytes;
}

TEST(PrintString64, PlainDigits)
{
    const ByteRow rows[] = {
        {0, "0"},
        {7, "7"},
        {1234567, "1234567"},
        {4294967296ULL, "4294967296"},
        {0x7fffffffffffffffULL, "9223372036854775807"},
        // Counts at 2^63 and above read as themselves, not as negative numbers.
        {0x8000000000000000ULL, "9223372036854775808"},
        {0xffffffffffffffffULL, "18446744073709551615"},
    };
    for (const ByteRow &row : rows)
        EXPECT_EQ(row.expected, Text(PrintString64(row.bytes))) << row.bytes;
}

CComBSTR B(const char16_t *text)
{
    return text ? CComBSTR(text) : CComBSTR();
}

struct VolumeRow {
    const char16_t *label, *root, *fallback, *mount;
    const char *expected;
};

TEST(VolumeDisplayFormat, FirstRuleThatApplies)
{
    const VolumeRow rows[] = {
        {u"System", u"C:\\", u"Disk 0", u"", "(C:) System"},
        {u"Data", u"D:\\", u"Disk 1", u"", "(D:) Data"},
        {u"Data", u"d:\\", u"Disk 1", u"", "(d:) Data"}, // letter copied unchanged
        {u"", u"D:\\", u"Disk 1", u"", "(D:)"},
        {nullptr, u"D:\\", u"Disk 1", u"C:\\Mnt\\", "(D:)"},
        {u"", u"D:", u"Disk 1", u"C:\\Mnt\\", "C:\\Mnt\\"},
        {u"Data", nullptr, u"Disk 1", u"C:\\Mnt\\", "Data"},
        {u"Data", u"D:", u"Disk 1", u"C:\\Mnt\\", "Data"},
        {u"", u"", u"Disk 1", u"", "Disk 1"},
        {nullptr, nullptr, u"Disk 1", nullptr, "Disk 1"},
        {u"", u"", u"Disk 1", u"C:\\", "Disk 1"}, // a drive root is not a mount-point path
        {u"", u"", u"Disk 1", u"C:/Mnt/", "Disk 1"},
        {u"", u"", nullptr, u"", ""},
        {u"", u"D:\\x", u"Disk 1", u"", "Disk 1"},
    };
    for (const VolumeRow &row : rows) {
        CComBSTR result(u"previous");
        VolumeDisplayFormat(B(row.label), B(row.root), B(row.fallback), B(row.mount), result);
        EXPECT_EQ(row.expected, Text(result))
            << Text(B(row.label)) << "|" << Text(B(row.root)) << "|" << Text(B(row.fallback)) << "|"
            << Text(B(row.mount));
    }
}

TEST(VolumeDisplayFormat, NulDriveLetterKeepsTheWholeText)
{
    CComBSTR result;
    VolumeDisplayFormat(CComBSTR(u"Data"), CComBSTR(3, u"\0:\\"), CComBSTR(u"Disk"), CComBSTR(),
                        result);
    EXPECT_EQ(std::string("(\0:) Data", 9), Text(result));
}

TEST(VolumeDisplayFormat, ResultMayBeAnArgument)
{
    CComBSTR label(u"Data");
    const CComBSTR root(u"E:\\"), fallback(u"Disk"), mount;
    VolumeDisplayFormat(label, root, fallback, mount, label);
    EXPECT_EQ("(E:) Data", Text(label));
    CComBSTR same(u"F:\\");
    VolumeDisplayFormat(CComBSTR(), same, same, same, same);
    EXPECT_EQ("(F:)", Text(same));
    CComBSTR fallbackIsResult(u"Disk 9");
    VolumeDisplayFormat(CComBSTR(), CComBSTR(), fallbackIsResult, CComBSTR(), fallbackIsResult);
    EXPECT_EQ("Disk 9", Text(fallbackIsResult));
}

TEST(DriveShapes, LengthAndTheSecondAndThirdCharacters)
{
    const struct {
        CComBSTR text;
        bool drive, mount;
    } rows[] = {
        {CComBSTR(u"C:\\"), true, false},
        {CComBSTR(u"c:\\"), true, false},
        {CComBSTR(u"1:\\"), true, false},
        {CComBSTR(3, u"\0:\\"), true, false},
        {CComBSTR(u"C:\\Mount\\Data\\"), false, true},
        {CComBSTR(u"C:\\M"), false, true},
        {CComBSTR(u"C:"), false, false},
        {CComBSTR(u"C"), false, false},
        {CComBSTR(u"C:/"), false, false},
        {CComBSTR(u"C\\:"), false, false},
        {CComBSTR(u"CC\\x"), false, false},
        {CComBSTR(u""), false, false},
        {CComBSTR(), false, false},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.drive, s_IsDriveLetter(row.text)) << Text(row.text);
        EXPECT_EQ(row.mount, s_IsMountPoint(row.text)) << Text(row.text);
    }
}

// Each address is checked from an exact-size heap copy, so that the sanitizer build catches any
// read past the terminating zero.
bool Check(const char16_t *text)
{
    const std::u16string s(text);
    std::unique_ptr<unsigned short[]> copy(new unsigned short[s.size() + 1]);
    for (size_t i = 0; i < s.size(); ++i)
        copy[i] = s[i];
    copy[s.size()] = 0;
    return IsValidEmailAddress(copy.get());
}

TEST(IsValidEmailAddress, Accepts)
{
    const char16_t *const accepted[] = {
        u"joe@example.com",
        u"jo.e@ex.com",
        u".joe@ex.com",
        u"j..oe@ex.com",
        u"joe@example.com.",
        u"joe@a.b.c.d",
        u"\"joe\".\"smith\"@ex.com",
        u"\"jo\\ e\"@ex.com",
        u"\"jo@e\"@ex.com",
        u"\"a(b)c,d;e:f<g>h[i]\"@ex.com",
        u"\"esc\\\"aped\"@ex.com",
        u"\"\"@ex.com",
        u"x.\"y\"@ex.com",
        u"\"y\".x@ex.com",
        u"a!#$%&'*+-/=?^_`{|}~@ex.com",
        u"joe@ex-ample.c_m",
        u"joe@1.2",
    };
    for (const char16_t *text : accepted)
        EXPECT_TRUE(Check(text)) << QString::fromUtf16(text).toStdString();
}

TEST(IsValidEmailAddress, Rejects)
{
    const char16_t *const rejected[] = {
        u"",
        u"joe@example",
        u"@ex.com",
        u"joe.@ex.com",
        u"joe@.ex.com",
        u"joe@ex..com",
        u"jo e@ex.com",
        u"joe@ex.com ",
        u" joe@ex.com",
        u"joe@ex@am.com",
        u"joe@",
        u"joe",
        u"joe.ex.com",
        u"\"jo e\"@ex.com",
        u"\"joe@ex.com",
        u"\"joe\\",
        u"\"joe\\\"@ex.com",
        u"\"joe\"x@ex.com",
        u"\"joe\".@ex.com",
        u"j\"oe\"@ex.com",
        u"jo\"e@ex.com",
        u"jo(e@ex.com",
        u"jo)e@ex.com",
        u"jo<e@ex.com",
        u"jo>e@ex.com",
        u"jo,e@ex.com",
        u"jo;e@ex.com",
        u"jo:e@ex.com",
        u"jo\\e@ex.com",
        u"jo[e@ex.com",
        u"jo]e@ex.com",
        u"joe@ex,com.org",
        u"joe@[1.2.3.4]",
        u"jo\u00e9@ex.com",
        u"joe@ex\u00e9.com",
        u"\"jo\u00e9\"@ex.com",
        u"\"jo\\\u00e9\"@ex.com",
        u"jo\te@ex.com",
        u"joe@ex.com\x7f",
        u"\"jo\x01\"@ex.com",
    };
    for (const char16_t *text : rejected)
        EXPECT_FALSE(Check(text)) << QString::fromUtf16(text).toStdString();
    EXPECT_FALSE(IsValidEmailAddress(nullptr));
}

TEST(IsValidEmailAddress, StopsAtTheTerminatingZero)
{
    // Characters after the zero would make these valid or invalid; they must not be looked at.
    const unsigned short validThenJunk[] = {'a', '@', 'b', '.', 'c', 0, ' ', '@'};
    EXPECT_TRUE(IsValidEmailAddress(validThenJunk));
    const unsigned short cutInQuote[] = {'"', 'a', '\\', 0, '"', '@', 'b', '.', 'c', 0};
    EXPECT_FALSE(IsValidEmailAddress(cutInQuote));
    const unsigned short cutAfterAt[] = {'a', '@', 0, 'b', '.', 'c', 0};
    EXPECT_FALSE(IsValidEmailAddress(cutAfterAt));
}

} // namespace
