// A help file through chmlib: the fixtures that the help compiler builds, then damaged copies.
#include "chmfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>

#include <gtest/gtest.h>

using namespace tshelp;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TEST(ChmFile, SystemInformationOfTheFixtures)
{
    struct Row { const char *path; const char *title, *topic, *contents, *index; quint32 lcid;
                 const char *codec; QStringList entries; };
    const Row rows[] = {
        // Everything named by #WINDOWS and #SYSTEM.
        {TS_CHM_FIXTURE_EN, "Fixture Help", "/intro.htm", "/toc.hhc", "/keys.hhk", 0x409,
         "windows-1252", {"/intro.htm", "/SUB/Page.htm", "/toc.hhc", "/keys.hhk"}},
        // No #WINDOWS, no default topic nor index: the usual names; a Shift_JIS title.
        {TS_CHM_FIXTURE_JA, "ヘルプの目次", "/index.html", "/toc.hhc", "", 0x411, "Shift_JIS",
         {"/index.html", "/mokuji.htm", "/toc.hhc"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.path);
        const auto file = ChmFile::open(QString::fromUtf8(row.path));
        ASSERT_TRUE(file);
        const HelpSystemInfo &info = file->system();
        EXPECT_EQ(info.title, QString::fromUtf8(row.title));
        EXPECT_EQ(info.defaultTopic, QLatin1String(row.topic));
        EXPECT_EQ(info.contentsFile, QLatin1String(row.contents));
        EXPECT_EQ(info.indexFile, QLatin1String(row.index));
        EXPECT_EQ(info.lcid, row.lcid);
        EXPECT_EQ(file->codec(), QTextCodec::codecForName(row.codec));
        for (const QString &entry : row.entries)
            EXPECT_TRUE(file->entries().contains(entry)) << entry.toStdString();
        for (const QString &entry : file->entries()) {
            EXPECT_FALSE(entry.startsWith(QLatin1String("/#")) || entry.startsWith(QLatin1String("/$"))
                         || entry.endsWith(QLatin1Char('/')) || !entry.startsWith(QLatin1Char('/')))
                << entry.toStdString();
        }
    }
}

TEST(ChmFile, ResolveAndRead)
{
    const auto file = ChmFile::open(QStringLiteral(TS_CHM_FIXTURE_EN));
    ASSERT_TRUE(file);
    const QByteArray page = ReadAll(QStringLiteral(TS_CHM_FIXTURE_EN_SOURCES "/SUB/Page.htm"));
    const QByteArray intro = ReadAll(QStringLiteral(TS_CHM_FIXTURE_EN_SOURCES "/intro.htm"));
    ASSERT_FALSE(page.isEmpty());
    struct Row { const char *name; const char *stored; QByteArray contents; };
    const Row rows[] = {
        {"/SUB/Page.HTM", "/SUB/Page.htm", page},
        {"sub\\page.htm", "/SUB/Page.htm", page},
        {"/sub/./x/../PAGE.htm#top", "/SUB/Page.htm", page},
        {"SUB/../INTRO.HTM", "/intro.htm", intro},
        {"../../intro.htm", "/intro.htm", intro},
        {"/missing.htm", "", {}},
        {"/SUB", "", {}},
        {"/SUB/", "", {}},
        {"/#SYSTEM", "", {}},
        {"/$OBJINST", "", {}},
        {"", "", {}},
    };
    for (const Row &row : rows) {
        const QString name = QString::fromUtf8(row.name);
        EXPECT_EQ(file->resolve(name), QLatin1String(row.stored)) << row.name;
        const auto data = file->read(name);
        EXPECT_EQ(data.has_value(), !row.contents.isEmpty()) << row.name;
        if (data) {
            EXPECT_EQ(*data, row.contents) << row.name;
        }
    }
    // The size limit: exactly the size reads, one byte less does not.
    EXPECT_TRUE(file->read(QStringLiteral("/intro.htm"), intro.size()));
    EXPECT_FALSE(file->read(QStringLiteral("/intro.htm"), intro.size() - 1));
    EXPECT_FALSE(file->read(QStringLiteral("/intro.htm"), -1));
}

TEST(ChmFile, DamagedFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray good = ReadAll(QStringLiteral(TS_CHM_FIXTURE_EN));
    const QByteArray intro = ReadAll(QStringLiteral(TS_CHM_FIXTURE_EN_SOURCES "/intro.htm"));
    ASSERT_GT(good.size(), 4096);
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("empty.chm")), {}));
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("text.chm")), QByteArray(5000, 'x')));
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("header.chm")), good.left(4) + QByteArray(5000, '\0')));
    for (const char *name : {"missing.chm", "empty.chm", "text.chm", "header.chm", ""})
        EXPECT_FALSE(ChmFile::open(dir.filePath(QLatin1String(name)))) << name;
    EXPECT_FALSE(ChmFile::open(QString()));
    EXPECT_FALSE(ChmFile::open(dir.path())); // a folder

    // Cut copies open or not, but what they read is whole and right, also after reads that failed
    // (chmlib would hand out a block that failed to decompress from its cache).
    for (const int length : {16, 0x38, 0x60, 0x78, 0x100, 0x200, 0x1000, 0x1200, good.size() / 2,
                             good.size() - 2048, good.size() - 1}) {
        SCOPED_TRACE(length);
        const QString path = dir.filePath(QStringLiteral("cut%1.chm").arg(length));
        ASSERT_TRUE(WriteAll(path, good.left(length)));
        const auto file = ChmFile::open(path);
        if (!file)
            continue;
        for (const QString &entry : file->entries())
            file->read(entry);
        if (const auto data = file->read(QStringLiteral("/intro.htm"))) {
            EXPECT_EQ(*data, intro);
        }
        EXPECT_FALSE(file->system().title.contains(QChar(0)));
    }
}
