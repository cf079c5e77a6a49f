// Where the help files are looked for: the user's language, the English fallback and the
// installation folder with or without its trailing backslash.
#include "help/helpfiles.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tstest::ScopedEnv;

namespace {

WString W(const QString &text) { return WStringFromQString(text); }

// An installation folder holding empty files of the given names.
class InstallFolder
{
public:
    explicit InstallFolder(const QStringList &files)
    {
        for (const QString &name : files) {
            QFile file(m_dir.filePath(name));
            file.open(QIODevice::WriteOnly);
        }
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

struct LanguageRow {
    const char *locale;
    const char *present; // help files installed, comma-separated
    const char *main;    // file GetPathHelpFile names
    const char *console; // file GetPathCCHelpFile names
};

TEST(HelpFilePath, LanguageAndEnglishFallback)
{
    const LanguageRow rows[] = {
        {"en_US.UTF-8", "TsHelpEN.chm,TsCCHelpEN.chm", "TsHelpEN.chm", "TsCCHelpEN.chm"},
        {"de_DE.UTF-8", "TsHelpGM.chm,TsCCHelpGM.chm,TsHelpEN.chm", "TsHelpGM.chm", "TsCCHelpGM.chm"},
        // sublanguages of German (0x0C07, 0x0807): the primary language decides
        {"de_AT.UTF-8", "TsHelpGM.chm,TsCCHelpGM.chm", "TsHelpGM.chm", "TsCCHelpGM.chm"},
        {"de_CH.UTF-8", "TsHelpGM.chm,TsCCHelpGM.chm", "TsHelpGM.chm", "TsCCHelpGM.chm"},
        // a German system with only the English files
        {"de_DE.UTF-8", "TsHelpEN.chm,TsCCHelpEN.chm", "TsHelpEN.chm", "TsCCHelpEN.chm"},
        // only one set translated: each set falls back on its own
        {"de_DE.UTF-8", "TsHelpGM.chm,TsCCHelpEN.chm", "TsHelpGM.chm", "TsCCHelpEN.chm"},
        {"fr_FR.UTF-8", "TsHelpFR.chm,TsCCHelpFR.chm", "TsHelpFR.chm", "TsCCHelpFR.chm"},
        // Japanese (primary 17) has code JP, not the ISO code
        {"ja_JP.UTF-8", "TsHelpJP.chm,TsCCHelpJP.chm,TsHelpJA.chm", "TsHelpJP.chm", "TsCCHelpJP.chm"},
        {"ja_XX.UTF-8", "TsHelpJP.chm,TsCCHelpJP.chm", "TsHelpJP.chm", "TsCCHelpJP.chm"},
        {"de_DE.UTF-8", "TsHelpDE.chm,TsCCHelpDE.chm", "TsHelpEN.chm", "TsCCHelpEN.chm"},
        // Spanish (10) and other languages get English even when a file of theirs exists
        {"es_ES.UTF-8", "TsHelpES.chm,TsCCHelpES.chm", "TsHelpEN.chm", "TsCCHelpEN.chm"},
        {"es_MX.UTF-8", "TsHelpSP.chm", "TsHelpEN.chm", "TsCCHelpEN.chm"},
        {"zh_TW.UTF-8", "TsHelpEN.chm", "TsHelpEN.chm", "TsCCHelpEN.chm"},
        {"C.UTF-8", "", "TsHelpEN.chm", "TsCCHelpEN.chm"},
        // the English path comes back unchecked
        {"fr_FR.UTF-8", "", "TsHelpEN.chm", "TsCCHelpEN.chm"},
    };
    for (const LanguageRow &row : rows) {
        InstallFolder folder(QString::fromLatin1(row.present).split(QLatin1Char(','), Qt::SkipEmptyParts));
        for (const char *trailing : {"", "\\"}) {
            const QByteArray install = QFile::encodeName(folder.path()) + trailing;
            ScopedEnv dir("TS_INSTALL_DIR", install.constData());
            ScopedEnv locale("LC_ALL", row.locale);
            const QString expectedFolder = folder.path() + QLatin1Char('\\');
            EXPECT_EQ(GetPathHelpFile(), W(expectedFolder + QLatin1String(row.main)))
                << row.locale << " with " << row.present << " in " << install.constData();
            EXPECT_EQ(GetPathCCHelpFile(), W(expectedFolder + QLatin1String(row.console)))
                << row.locale << " with " << row.present << " in " << install.constData();
        }
    }
}

// A folder that the common library cannot report reads as empty: the bare file name, checked in
// the current folder.
TEST(HelpFilePath, EmptyInstallFolderNamesTheCurrentFolder)
{
    InstallFolder folder({QStringLiteral("TsHelpGM.chm")});
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const std::string tooLong = "/" + std::string(600, 'x');
    ScopedEnv dir("TS_INSTALL_DIR", tooLong.c_str());
    ScopedEnv locale("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(GetPathHelpFile(), u"TsHelpGM.chm");
    EXPECT_EQ(GetPathCCHelpFile(), u"TsCCHelpEN.chm");
    QDir::setCurrent(previous);
}

// Without TS_INSTALL_DIR: the product's data folder of the build tree.
TEST(HelpFilePath, DataFolderByDefault)
{
    ScopedEnv dir("TS_INSTALL_DIR", nullptr);
    ScopedEnv locale("LC_ALL", "en_US.UTF-8");
    const QString expected = QDir::cleanPath(QStringLiteral(TS_DATA_DIR)) + QStringLiteral("\\TsHelpEN.chm");
    EXPECT_EQ(GetPathHelpFile(), W(expected));
}

} // namespace
