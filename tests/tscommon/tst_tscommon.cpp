// The common library's install path, error texts, message formatting and message box.
#include "messageboxwatch.h"
#include "resbuilder.h"
#include "testenv.h"

#include "tserrortext.h"
#include "tsinstallpath.h"
#include "tsmessagebox.h"
#include "tswin.h"

#include <QMessageBox>

#include <gtest/gtest.h>

#include <climits>

using tstest::OnNextBox;
using tstest::ScopedEnv;

TEST(GetInstallPath, EnvironmentAndLimits)
{
    WCHAR buffer[TS_PATH_BUFFER + 8];
    {
        ScopedEnv env("TS_INSTALL_DIR", "/opt/tessaro");
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(GetInstallPath(buffer, 0), 12u);
        EXPECT_EQ(std::u16string(buffer), u"/opt/tessaro");
        EXPECT_EQ(buffer[13], u'#') << "only the text and its terminator are written";
    }
    {
        const std::string longPath = "/" + std::string(TS_PATH_BUFFER, 'a');
        ScopedEnv env("TS_INSTALL_DIR", longPath.c_str());
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(GetInstallPath(buffer, 0), 0u);
        EXPECT_EQ(buffer[0], 0) << "a path that does not fit is not cut";
    }
    {
        const std::string exact(TS_PATH_BUFFER - 1, 'b');
        ScopedEnv env("TS_INSTALL_DIR", exact.c_str());
        EXPECT_EQ(GetInstallPath(buffer, 0), DWORD(TS_PATH_BUFFER - 1));
        EXPECT_EQ(buffer[TS_PATH_BUFFER - 1], 0);
    }
    {
        // The data folder beside the library: in the build tree, share/tessaro of the build.
        ScopedEnv env("TS_INSTALL_DIR", nullptr);
        const std::u16string expected = QStringLiteral(TS_DATA_DIR).toStdU16String();
        EXPECT_EQ(GetInstallPath(buffer, 0), DWORD(expected.size()));
        EXPECT_EQ(std::u16string(buffer), expected);
    }
    {
        ScopedEnv env("TS_INSTALL_DIR", "");
        GetInstallPath(buffer, 0);
        EXPECT_EQ(std::u16string(buffer), QStringLiteral(TS_DATA_DIR).toStdU16String()) << "empty is unset";
    }
    EXPECT_EQ(GetInstallPath(nullptr, 0), 0u);
}

TEST(GetErrorText, KnownUnknownAndShortBuffers)
{
    WCHAR buffer[512];
    struct Row { DWORD code; bool known; };
    const Row rows[] = {{5, true}, {53, true}, {1355, true}, {2351, true}, {6118, true}, {1222, true},
                        {8, true}, {12345, false}, {0xFFFFFFFFu, false}};
    for (const Row &row : rows) {
        buffer[0] = u'#';
        const DWORD n = GetErrorText(row.code, buffer, 512);
        EXPECT_EQ(n > 0, row.known) << row.code;
        EXPECT_EQ(std::char_traits<char16_t>::length(buffer), n) << row.code;
    }
    WCHAR small[6] = {u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(GetErrorText(5, small, 5), 4u);
    EXPECT_EQ(std::u16string(small), u"Acce");
    EXPECT_EQ(small[5], u'#');
    EXPECT_EQ(GetErrorText(5, small, 0), 0u);
    EXPECT_EQ(GetErrorText(5, nullptr, 512), 0u);
}

namespace {

template <class... Args>
std::u16string Format(const char16_t *format, const Args &...args)
{
    const tscommon::MessageArg list[] = {tscommon::MessageArg(args)..., tscommon::MessageArg()};
    return tscommon::FormatMessageText(format, list, sizeof...(Args));
}

enum Colour { Red = 3 };

} // namespace

TEST(FormatMessageText, PrintfDirectives)
{
    EXPECT_EQ(Format(u"plain"), u"plain");
    EXPECT_EQ(Format(u"%d|%5d|%-4d|%05d", -12, 34, 5, 6), u"-12|   34|5   |00006");
    EXPECT_EQ(Format(u"%u %x %X %lu %I64d", 7u, 255u, 255u, 8ul, 1234567890123LL), u"7 ff FF 8 1234567890123");
    EXPECT_EQ(Format(u"%s and %S", u"wide", "narrow ü"), u"wide and narrow ü");
    EXPECT_EQ(Format(u"[%6s][%-6s][%.2s]", u"ab", u"cd", u"xyz"), u"[    ab][cd    ][xy]");
    EXPECT_EQ(Format(u"%c%c 100%%", int(u'O'), u'K'), u"OK 100%");
    EXPECT_EQ(Format(u"%s", static_cast<const char16_t *>(nullptr)), u"(null)");
    EXPECT_EQ(Format(u"%y %", 1), u"%y %") << "unknown directives and a trailing % stay as they are";
    EXPECT_EQ(Format(u"[%*d][%*s]", -4, 7, -3, u"a"), u"[7   ][a  ]") << "a negative * width pads on the right";
    EXPECT_EQ(Format(u"[%*d]", INT_MIN, 7), u"[7" + std::u16string(4095, u' ') + u"]")
        << "regression: the most negative * width was negated past the int range";
    EXPECT_EQ(Format(u"%x %x %d %u", -1, short(-1), 4294967295u, Red), u"ffffffff ffffffff -1 3")
        << "integers as a variadic call would pass them";
    EXPECT_EQ(Format(u"%s", reinterpret_cast<const unsigned short *>(u"ws")), u"ws");
}

// The text comes from a language module: what the arguments cannot fill is shown as written.
TEST(FormatMessageText, DirectivesTheArgumentsDoNotFillStayAsWritten)
{
    EXPECT_EQ(Format(u"%s in %s", u"a"), u"a in %s") << "one %s too many";
    EXPECT_EQ(Format(u"%d %s", u"a", 1), u"%d %s") << "swapped";
    EXPECT_EQ(Format(u"%S|%s", u"wide", "narrow"), u"%S|%s") << "texts of the other width";
    EXPECT_EQ(Format(u"%d %s %c", 1.5, nullptr, true), u"%d %s %c") << "types no directive takes";
    EXPECT_EQ(Format(u"[%*d][%.*s]", u"x", 5, 2), u"[%*d][%.*s]") << "* without a number";
    EXPECT_EQ(Format(u"%s %d", 1, 2), u"%s 2") << "a refused directive still uses up its argument";
}

TEST(TsMessageBox, ShowsTheModuleTextWithCaptionAndIcon)
{
    const QByteArray file = tstest::ResBuilder().AddString(33, u"Cannot open %s (%d).").Bytes();
    HMODULE module = TswLoadResourceModuleFromMemory(file.constData(), std::size_t(file.size()));
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    OnNextBox([&](QMessageBox *box) {
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
    }, QMessageBox::Ok);
    EXPECT_EQ(TsMessageBox(nullptr, module, MB_ICONERROR, u"Help", 33, u"help.chm", 2), IDOK);
    EXPECT_EQ(text, QStringLiteral("Cannot open help.chm (2)."));
    EXPECT_EQ(title, QStringLiteral("Help"));
    EXPECT_EQ(icon, QMessageBox::Critical);

    OnNextBox([&](QMessageBox *box) { text = box->text(); }, QMessageBox::Ok);
    EXPECT_EQ(TsMessageBox(nullptr, nullptr, MB_ICONERROR, u"Help", 33), IDOK);
    EXPECT_TRUE(text.isEmpty()) << "no module: an empty text";

    OnNextBox([&](QMessageBox *box) { text = box->text(); }, QMessageBox::Ok);
    EXPECT_EQ(TsMessageBox(nullptr, module, MB_ICONERROR, u"Help", 33, u"help.chm"), IDOK);
    EXPECT_EQ(text, QStringLiteral("Cannot open help.chm (%d).")) << "an argument short";
    FreeLibrary(module);
}
