// The text loader: limits, missing entries, null modules; and the language module that the library
// picks at load from the process locale.
#include <gtest/gtest.h>

#include <QTemporaryFile>

#include "foundation/resourcetext_p.h"
#include "resbuilder.h"

using tsuikit::LoadResourceText;

namespace {

// Asked for while the suite is being initialised: the suite links the loader's source after this
// file, so the loader's own initialisers have not run yet.
const HINSTANCE s_moduleAtStartUp = tsuikit::LanguageModule();

HINSTANCE moduleFrom(const tstest::ResBuilder &builder)
{
    const QByteArray &bytes = builder.Bytes();
    return TswLoadResourceModuleFromMemory(bytes.constData(), size_t(bytes.size()));
}

} // namespace

TEST(LoadResourceText, LongEntryArrivesCutTo16383Units)
{
    std::u16string longText(20000, u'x');
    for (size_t i = 0; i < longText.size(); ++i)
        longText[i] = char16_t(u'a' + i % 26);
    tstest::ResBuilder builder;
    builder.AddString(100, longText);
    HINSTANCE module = moduleFrom(builder);
    ASSERT_NE(module, nullptr);

    const WString text = LoadResourceText(module, 100);
    ASSERT_EQ(text.size(), 16383u);
    EXPECT_EQ(text, WString(longText.substr(0, 16383)));
    FreeLibrary(module);
}

TEST(LoadResourceText, ExactLimitAndEmbeddedCharactersKept)
{
    tstest::ResBuilder builder;
    builder.AddString(200, std::u16string(16383, u'y'));
    builder.AddString(216, u"A\u00e9\u65e5\U0001F600"); // another block: Latin, accented, CJK, a surrogate pair
    HINSTANCE module = moduleFrom(builder);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(LoadResourceText(module, 200).size(), 16383u);
    EXPECT_EQ(LoadResourceText(module, 216), WString(u"A\u00e9\u65e5\U0001F600"));
    FreeLibrary(module);
}

TEST(LoadResourceText, MissingEntriesReadEmpty)
{
    tstest::ResBuilder builder;
    builder.AddString(300, u"present");
    builder.AddString(302, u"");
    HINSTANCE module = moduleFrom(builder);
    ASSERT_NE(module, nullptr);
    struct Case {
        HINSTANCE module;
        UINT id;
        const char16_t *expected;
    } cases[] = {
        {module, 300, u"present"},
        {module, 301, u""}, // same block, no entry
        {module, 302, u""}, // empty entry
        {module, 9999, u""}, // no such block
        {nullptr, 300, u""}, // no module
    };
    for (const Case &c : cases)
        EXPECT_EQ(LoadResourceText(c.module, c.id), WString(c.expected)) << "id " << c.id;
    FreeLibrary(module);
}

// The library picks its module once, at load, from the locale the process starts with.
TEST(LanguageModule, FollowsTheProcessLocale)
{
    ASSERT_NE(tsuikit::LanguageModule(), nullptr);
    EXPECT_EQ(s_moduleAtStartUp, tsuikit::LanguageModule()) << "the module asked for at start-up";
    const QByteArray lang = qgetenv("TS_EXPECT_LANG");
    const QString january = tsuikit::ResourceQString(723);
    const QString cancel = tsuikit::ResourceQString(61407);
    if (lang == "de") {
        EXPECT_EQ(january, QStringLiteral("Januar"));
        EXPECT_EQ(cancel, QStringLiteral("Abbrechen"));
    } else if (lang == "ja") {
        EXPECT_EQ(january, QString::fromUtf8("1月"));
        EXPECT_EQ(cancel, QString::fromUtf8("キャンセル"));
    } else {
        EXPECT_EQ(january, QStringLiteral("January"));
        EXPECT_EQ(cancel, QStringLiteral("Cancel"));
    }
}
