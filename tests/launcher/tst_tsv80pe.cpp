// Checks of the cross-built 32-bit launcher, as the MinGW objdump reads it: file kind, imports and
// embedded manifest.
#include "peinfo.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <map>
#include <set>

namespace {

class Tsv80Executable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString objdump = QStringLiteral(TSV80_OBJDUMP_PATH);
        ASSERT_FALSE(objdump.isEmpty()) << "i686-w64-mingw32-objdump was not found at configure time";
        QString error;
        ASSERT_TRUE(tstest::ReadPeInfo(objdump, QStringLiteral(TSV80_EXE_PATH), pe, error))
            << error.toStdString();
    }
    tstest::PeInfo pe;
};

TEST_F(Tsv80Executable, IsA32BitGuiProgram)
{
    EXPECT_EQ(pe.format, QStringLiteral("pei-i386")) << "i386 image";
    EXPECT_EQ(pe.magic, 0x10b) << "PE32";
    EXPECT_EQ(pe.subsystem, 2) << "Windows GUI";
    EXPECT_TRUE(pe.characteristics & 0x0002) << "executable image";
    EXPECT_FALSE(pe.characteristics & 0x2000) << "not a DLL";
}

TEST_F(Tsv80Executable, ImportsOnlySystemLibrariesAndNoIsWow64Process)
{
    const std::set<QString> system = {QStringLiteral("kernel32.dll"), QStringLiteral("user32.dll"),
                                      QStringLiteral("msvcrt.dll"), QStringLiteral("advapi32.dll")};
    ASSERT_TRUE(pe.imports.count(QStringLiteral("kernel32.dll")));
    ASSERT_TRUE(pe.imports.count(QStringLiteral("user32.dll")));
    for (const auto &dll : pe.imports)
        EXPECT_TRUE(system.count(dll.first)) << "imports " << dll.first.toStdString();

    const QStringList &kernel32 = pe.imports[QStringLiteral("kernel32.dll")];
    for (const char *name : {"GetVersionExA", "CreateProcessA", "CloseHandle", "LoadLibraryA",
                             "GetProcAddress", "FreeLibrary", "GetCurrentProcess"})
        EXPECT_TRUE(kernel32.contains(QLatin1String(name))) << name;
    EXPECT_TRUE(pe.imports[QStringLiteral("user32.dll")].contains(QStringLiteral("MessageBoxA")));
    for (const auto &dll : pe.imports)
        for (const QString &name : dll.second) {
            EXPECT_NE(name, QStringLiteral("IsWow64Process")) << "must be looked up at run time";
            EXPECT_FALSE(name.endsWith(QLatin1Char('W')) && name.startsWith(QLatin1String("MessageBox")))
                << name.toStdString();
        }
}

TEST_F(Tsv80Executable, ManifestIsEmbeddedAsSpecifiedForTheInstaller)
{
    const std::uint32_t kManifest = 24, kEnglishUS = 1033;
    std::vector<std::uint32_t> languages;
    QByteArray manifest;
    for (const tstest::PeInfo::Resource &r : pe.resources) {
        if (r.type == kManifest && r.id == 1) {
            languages.push_back(r.language);
            manifest = r.data;
        }
    }
    ASSERT_EQ(languages, std::vector<std::uint32_t>{kEnglishUS});

    // Element path -> attributes (or text, under the key "#text").
    std::map<QString, std::map<QString, QString>> seen;
    QXmlStreamReader xml(manifest);
    QStringList path;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            path << xml.name().toString();
            auto &attributes = seen[path.join(QLatin1Char('/'))];
            for (const QXmlStreamAttribute &a : xml.attributes())
                attributes[a.name().toString()] = a.value().toString();
        } else if (xml.isEndElement()) {
            path.removeLast();
        } else if (xml.isCharacters() && !xml.isWhitespace()) {
            seen[path.join(QLatin1Char('/'))][QStringLiteral("#text")] += xml.text().toString();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();

    using Attributes = std::map<QString, QString>;
    const std::map<QString, Attributes> expected = {
        {"assembly", {{"manifestVersion", "1.0"}}},
        {"assembly/assemblyIdentity",
         {{"name", "Tsv80"}, {"version", "1.0.0.0"}, {"processorArchitecture", "X86"}, {"type", "win32"}}},
        {"assembly/description", {{"#text", "Tessaro install wrapper"}}},
        {"assembly/trustInfo", {}},
        {"assembly/trustInfo/security", {}},
        {"assembly/trustInfo/security/requestedPrivileges", {}},
        {"assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel",
         {{"level", "requireAdministrator"}, {"uiAccess", "false"}}},
    };
    for (const auto &element : expected) {
        ASSERT_TRUE(seen.count(element.first)) << element.first.toStdString();
        EXPECT_EQ(seen[element.first], element.second) << element.first.toStdString();
    }
    EXPECT_EQ(seen.size(), expected.size()) << "unexpected elements in the manifest";
}

} // namespace
