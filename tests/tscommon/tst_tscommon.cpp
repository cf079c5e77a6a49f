// Language id, install path, error texts and message boxes.
#include "resbuilder.h"
#include "testenv.h"

#include "tserrortext.h"
#include "tsinstallpath.h"
#include "tsmessagebox.h"
#include "tswin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using tstest::ScopedEnv;

TEST(GetUserDefaultLangID, FromTheLocaleVariables)
{
    struct Row { const char *lcAll; const char *lcMessages; const char *lang; LANGID expected; };
    const Row rows[] = {
        {"en_US.UTF-8", nullptr, nullptr, 0x0409},
        {"de_DE.UTF-8", nullptr, nullptr, 0x0407},
        {"fr_FR.UTF-8", nullptr, nullptr, 0x040C},
        {"ja_JP.UTF-8", nullptr, nullptr, 0x0411},
        {"de_AT.UTF-8", nullptr, nullptr, 0x0C07},
        {"fr_CA", nullptr, nullptr, 0x0C0C},
        {"en_GB.ISO-8859-1", nullptr, nullptr, 0x0809},
        {"pt_BR.UTF-8@euro", nullptr, nullptr, 0x0416},
        {"zh_TW.UTF-8", nullptr, nullptr, 0x0404},
        {"de", nullptr, nullptr, 0x0407},             // language alone: its main country
        {"de_XX.UTF-8", nullptr, nullptr, 0x0407},    // unknown country
        {"xx_YY.UTF-8", nullptr, nullptr, 0x0409},    // unknown language: English
        {"C", nullptr, nullptr, 0x0409},
        {"POSIX", nullptr, nullptr, 0x0409},
        {"C.UTF-8", nullptr, nullptr, 0x0409},
        {nullptr, "fr_FR.UTF-8", "de_DE.UTF-8", 0x040C}, // LC_MESSAGES before LANG
        {"", "", "ja_JP.UTF-8", 0x0411},                 // empty values do not count
        {"de_DE.UTF-8", "fr_FR.UTF-8", "ja_JP.UTF-8", 0x0407},
        {nullptr, nullptr, nullptr, 0x0409},
    };
    for (const Row &row : rows) {
        ScopedEnv a("LC_ALL", row.lcAll), m("LC_MESSAGES", row.lcMessages), l("LANG", row.lang);
        EXPECT_EQ(GetUserDefaultLangID(), row.expected)
            << (row.lcAll ? row.lcAll : "-") << " / " << (row.lcMessages ? row.lcMessages : "-") << " / "
            << (row.lang ? row.lang : "-");
    }
}

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
        ScopedEnv env("TS_INSTALL_DIR", nullptr);
        EXPECT_GT(GetInstallPath(buffer, 0), 0u) << "the installed prefix";
        EXPECT_EQ(buffer[0], u'/');
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

std::u16string Format(const char16_t *format, ...)
{
    va_list args;
    va_start(args, format);
    std::u16string out = tscommon::FormatMessageText(format, args);
    va_end(args);
    return out;
}

// Runs `inspect` on the next modal message box, then presses its button `press` (or closes it).
void OnNextBox(std::function<void(QMessageBox *)> inspect, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [inspect, press] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        inspect(box);
        if (press == QMessageBox::NoButton)
            box->reject();
        else
            box->button(press)->click();
    });
}

} // namespace

TEST(FormatMessageText, PrintfDirectives)
{
    EXPECT_EQ(Format(u"plain"), u"plain");
    EXPECT_EQ(Format(u"%d|%5d|%-4d|%05d", -12, 34, 5, 6), u"-12|   34|5   |00006");
    EXPECT_EQ(Format(u"%u %x %X %lu %I64d", 7u, 255u, 255u, 8ul, 1234567890123LL), u"7 ff FF 8 1234567890123");
    EXPECT_EQ(Format(u"%s and %S", u"wide", "narrow ü"), u"wide and narrow ü");
    EXPECT_EQ(Format(u"[%6s][%-6s][%.2s]", u"ab", u"cd", u"xyz"), u"[    ab][cd    ][xy]");
    EXPECT_EQ(Format(u"%c%c 100%%", int(u'O'), int(u'K')), u"OK 100%");
    EXPECT_EQ(Format(u"%s", static_cast<const char16_t *>(nullptr)), u"(null)");
    EXPECT_EQ(Format(u"%y %", 1), u"%y %") << "unknown directives and a trailing % stay as they are";
    EXPECT_EQ(Format(u"[%*d][%*s]", -4, 7, -3, u"a"), u"[7   ][a  ]") << "a negative * width pads on the right";
    EXPECT_EQ(Format(u"[%*d]", INT_MIN, 7), u"[7" + std::u16string(4095, u' ') + u"]")
        << "regression: the most negative * width was negated past the int range";
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
    FreeLibrary(module);
}

TEST(MessageBoxW, ButtonsAndResults)
{
    struct Row { UINT type; QMessageBox::StandardButton press; int expected; };
    const Row rows[] = {
        {MB_OK, QMessageBox::Ok, IDOK},
        {MB_OK, QMessageBox::NoButton, IDOK},
        {MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL},
        {MB_OKCANCEL, QMessageBox::NoButton, IDCANCEL},
        {MB_YESNO, QMessageBox::No, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, QMessageBox::Yes, IDYES},
        {MB_ABORTRETRYIGNORE, QMessageBox::Ignore, IDIGNORE},
        {MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY},
    };
    for (const Row &row : rows) {
        OnNextBox([](QMessageBox *) {}, row.press);
        EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", row.type), row.expected) << "type " << row.type;
    }
    EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", 0x0F), 0) << "unknown button set";

    QWidget owner;
    QString ownerTitle;
    QWidget *parent = nullptr;
    OnNextBox([&](QMessageBox *box) { parent = box->parentWidget(); ownerTitle = box->windowTitle(); },
              QMessageBox::Ok);
    EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(&owner), "täxt", nullptr, MB_OK), IDOK);
    EXPECT_EQ(parent, &owner);
    EXPECT_TRUE(ownerTitle.isEmpty());

    int bogus = 0;
    OnNextBox([&](QMessageBox *box) { parent = box->parentWidget(); }, QMessageBox::Ok);
    EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(&bogus), u"x", u"y", MB_OK), IDOK);
    EXPECT_EQ(parent, nullptr) << "an unknown window handle is not used";
}
