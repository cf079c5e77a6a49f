// The build's check of the language modules: the texts of two modules must take the same arguments.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs the checker on an English and another module holding `english` and `other` as string tables.
int Check(const char *english, const char *other, QString *messages)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const char *table) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("// fixture\n#pragma code_page(65001)\nSTRINGTABLE\nBEGIN\n") + table + "\nEND\n");
        return file.fileName();
    };
    QProcess checker;
    checker.start(QStringLiteral(TS_LANGCHECK), {write("tslang_0409.rc", english), write("tslang_040C.rc", other)});
    EXPECT_TRUE(checker.waitForFinished(30000));
    *messages = QString::fromLocal8Bit(checker.readAllStandardError());
    return checker.exitStatus() == QProcess::NormalExit ? checker.exitCode() : -1;
}

} // namespace

TEST(LanguageModuleCheck, TextsMustTakeTheSameArguments)
{
    struct Row { const char *what; const char *english; const char *other; int status; };
    const Row rows[] = {
        {"same arguments, other flags", "33, \"Cannot open %s (%d).\"", "33 \"Impossible d'ouvrir %-4s (%3d).\"", 0},
        {"percent signs and comments", "1, \"100%% done\" // %s", "1, \"fini \xc3\xa0 100%%\" /* %d */", 0},
        {"one %s too many", "33, \"Cannot open %s.\"", "33, \"Impossible d'ouvrir %s (%s).\"", 1},
        {"swapped", "33, \"%s: %d\"", "33, \"%d: %s\"", 1},
        {"a space before a letter", "5, \"50%% done\"", "5, \"50 % de fait\"", 1},
        {"escaped percent", "7, \"plain\"", "7, \"\\x25s\"", 1},
        {"text missing", "1, \"a\"\n2, \"b\"", "1, \"a\"", 1},
        {"symbolic id", "IDS_A, \"a\"", "IDS_A, \"a\"", 2},
        {"no closing quote", "1, \"a", "1, \"a\"", 2},
    };
    for (const Row &row : rows) {
        QString messages;
        EXPECT_EQ(Check(row.english, row.other, &messages), row.status) << row.what << ": " << messages.toStdString();
        EXPECT_EQ(messages.isEmpty(), row.status == 0) << row.what;
    }
}

TEST(LanguageModuleCheck, NamesTheTextAndBothDirectiveLists)
{
    QString messages;
    ASSERT_EQ(Check("\n33, \"Cannot open %s.\"", "33, \"Impossible d'ouvrir %s (%s).\"", &messages), 1);
    EXPECT_EQ(messages.trimmed(), QStringLiteral("tslang_040C.rc:5: text 33 takes \"%s %s\" where "
                                                 "tslang_0409.rc:6 takes \"%s\""));
}
