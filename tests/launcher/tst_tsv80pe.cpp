// Checks of the cross-built 32-bit launcher: file kind, imports and embedded manifest.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "peimage.h"

namespace {

std::vector<std::uint8_t> ReadFile(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Tsv80Executable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        exe = TSV80_EXE_PATH;
        bytes = ReadFile(exe.constData());
        ASSERT_FALSE(bytes.empty()) << "cannot read " << exe.constData();
    }
    QByteArray exe;
    std::vector<std::uint8_t> bytes;
};

TEST_F(Tsv80Executable, IsA32BitGuiProgram)
{
    tstest::PeImage image(bytes);
    ASSERT_TRUE(image.IsValid());
    EXPECT_EQ(image.Machine(), 0x14c) << "i386";
    EXPECT_EQ(image.OptionalMagic(), 0x10b) << "PE32";
    EXPECT_EQ(image.Subsystem(), 2) << "Windows GUI";
    EXPECT_TRUE(image.Characteristics() & 0x0002) << "executable image";
    EXPECT_FALSE(image.Characteristics() & 0x2000) << "not a DLL";
}

TEST_F(Tsv80Executable, ImportsOnlySystemLibrariesAndNoIsWow64Process)
{
    const QString objdump = QStringLiteral(TSV80_OBJDUMP_PATH);
    ASSERT_FALSE(objdump.isEmpty()) << "i686-w64-mingw32-objdump was not found at configure time";
    QProcess process;
    process.start(objdump, {QStringLiteral("-p"), QString::fromLocal8Bit(exe)});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    const QString listing = QString::fromLocal8Bit(process.readAllStandardOutput());

    // Member names follow their "DLL Name:" line, one per line: "<vma> <hint> <name>".
    std::map<QString, QStringList> imports;
    QString current;
    const QRegularExpression dllLine(QStringLiteral("^\\s*DLL Name:\\s*(\\S+)"));
    const QRegularExpression memberLine(QStringLiteral("^\\s*[0-9a-f]+\\s+\\d+\\s+(\\S+)\\s*$"));
    for (const QString &line : listing.split(QLatin1Char('\n'))) {
        const auto dll = dllLine.match(line);
        if (dll.hasMatch()) {
            current = dll.captured(1).toLower();
            imports[current];
            continue;
        }
        if (line.trimmed().isEmpty())
            current.clear();
        const auto member = memberLine.match(line);
        if (!current.isEmpty() && member.hasMatch())
            imports[current] << member.captured(1);
    }
    const std::set<QString> system = {QStringLiteral("kernel32.dll"), QStringLiteral("user32.dll"),
                                      QStringLiteral("msvcrt.dll"), QStringLiteral("advapi32.dll")};
    ASSERT_TRUE(imports.count(QStringLiteral("kernel32.dll")));
    ASSERT_TRUE(imports.count(QStringLiteral("user32.dll")));
    for (const auto &dll : imports)
        EXPECT_TRUE(system.count(dll.first)) << "imports " << dll.first.toStdString();

    const QStringList &kernel32 = imports[QStringLiteral("kernel32.dll")];
    for (const char *name : {"GetVersionExA", "CreateProcessA", "CloseHandle", "LoadLibraryA",
                             "GetProcAddress", "FreeLibrary", "GetCurrentProcess"})
        EXPECT_TRUE(kernel32.contains(QLatin1String(name))) << name;
    EXPECT_TRUE(imports[QStringLiteral("user32.dll")].contains(QStringLiteral("MessageBoxA")));
    EXPECT_FALSE(listing.contains(QStringLiteral("IsWow64Process"))) << "must be looked up at run time";
    for (const auto &dll : imports)
        for (const QString &name : dll.second)
            EXPECT_FALSE(name.endsWith(QLatin1Char('W')) && name.startsWith(QLatin1String("MessageBox")))
                << name.toStdString();
}

TEST_F(Tsv80Executable, ManifestIsEmbeddedAsSpecifiedForTheInstaller)
{
    tstest::PeImage image(bytes);
    ASSERT_TRUE(image.IsValid());
    const std::uint32_t kManifest = 24, kEnglishUS = 1033;
    EXPECT_EQ(image.ResourceLanguages(kManifest, 1), std::vector<std::uint32_t>{kEnglishUS});
    std::string manifest;
    ASSERT_TRUE(image.ReadResource(kManifest, 1, kEnglishUS, manifest));

    // Element path -> attributes (or text, under the key "#text").
    std::map<QString, std::map<QString, QString>> seen;
    QXmlStreamReader xml(QByteArray::fromStdString(manifest));
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
