// Damaged and hostile help files: edits of the shipped help file that made chmlib crash or loop, the
// faults the fuzzer found, and a fixed series of random edits. Each file must open or be refused, and
// each read must return whole or be refused, without taking the process down.
#include "chmcheck.h"
#include "chmfile.h"
#include "chmworker.h"
#include "sitemap.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>

using namespace tshelp;

namespace {

const QString kShipped = QStringLiteral(TS_DATA_DIR "/TsHelpEN.chm");

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

void PutU32(QByteArray &bytes, qint64 at, quint32 value)
{
    ASSERT_GE(at, 0);
    ASSERT_LE(at + 4, bytes.size());
    qToLittleEndian(value, bytes.data() + at);
}

// Where the directory's chunks start and how long each is, from the file and directory headers.
struct Layout
{
    qint64 itsp = 0;
    qint64 chunks = 0;
    quint32 blockLength = 0;
};

Layout LayoutOf(const QByteArray &chm)
{
    Layout layout;
    layout.itsp = qint64(qFromLittleEndian<quint64>(chm.constData() + 0x48));
    layout.chunks = layout.itsp + qFromLittleEndian<quint32>(chm.constData() + layout.itsp + 8);
    layout.blockLength = qFromLittleEndian<quint32>(chm.constData() + layout.itsp + 0x10);
    return layout;
}

QByteArray PageOfMany(int i)
{
    return QStringLiteral("<html><head><title>Page %1</title></head><body>Page %1 of many.</body></html>")
        .arg(i)
        .toLatin1();
}

// Everything the viewer reads from a file; every read is whole or refused.
int ReadEverything(const ChmFile &file)
{
    int read = 0;
    constexpr qint64 kLimit = 1 << 20;
    for (const QString &entry : file.entries()) {
        if (const auto data = file.read(entry, kLimit)) {
            EXPECT_LE(data->size(), kLimit);
            ++read;
        }
    }
    for (const QString &sitemap : {file.system().contentsFile, file.system().indexFile}) {
        if (const auto data = file.read(sitemap, kLimit))
            ParseSitemap(*data, file.codec());
    }
    return read;
}

// A help file of 200 pages, built in `dir`: its directory has three listing chunks under an index
// chunk. Returns its path, empty when the compiler failed.
QString BuildManyPages(const QTemporaryDir &dir)
{
    QString project = QStringLiteral("[OPTIONS]\nCompiled file=many.chm\nTitle=Many\n"
                                     "Language=0x409 English (United States)\n\n[FILES]\n");
    for (int i = 1; i <= 200; ++i) {
        const QString name = QStringLiteral("page_with_a_rather_long_name_number_%1.htm").arg(i);
        if (!WriteAll(dir.filePath(name), PageOfMany(i)))
            return {};
        project += name + QLatin1Char('\n');
    }
    if (!WriteAll(dir.filePath(QStringLiteral("many.hhp")), project.toLatin1()))
        return {};
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(dir.path());
    chmcmd.start(QStringLiteral(TS_CHMCMD), {QStringLiteral("--no-html-scan"), QStringLiteral("many.hhp")});
    if (!chmcmd.waitForFinished(60000) || chmcmd.exitCode() != 0)
        return {};
    return dir.filePath(QStringLiteral("many.chm"));
}

} // namespace

TEST(HostileHelpFiles, EditsOfTheShippedFile)
{
    const QByteArray good = ReadAll(kShipped);
    ASSERT_GT(good.size(), 4096);
    const qint64 lzxc = good.indexOf("LZXC");
    ASSERT_GT(lzxc, 0);
    const Layout layout = LayoutOf(good);
    ASSERT_TRUE(good.mid(layout.chunks, 4) == "PMGL");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    struct Row
    {
        const char *name;
        std::function<void(QByteArray &)> edit;
        bool opens;
    };
    const Row rows[] = {
        {"unchanged", [](QByteArray &) {}, true},
        // chmlib divides by half the window size: SIGFPE in its open.
        {"LZX window size 0", [&](QByteArray &b) { b[int(lzxc + 12)] = 0; }, false},
        // A version-1 window size is taken as bytes: no decoder, SIGSEGV in the first decompression.
        {"LZX control data version 1", [&](QByteArray &b) { b[int(lzxc + 4)] = 1; }, false},
        // The only listing chunk names itself as the next: chmlib's listing never ends.
        {"listing chunk names itself next",
         [&](QByteArray &b) { PutU32(b, layout.chunks + 0x10, 0); }, false},
        // The root is an index chunk whose entry leads back to it: every lookup loops.
        {"index chunk leads to itself",
         [&](QByteArray &b) {
             const QByteArray pmgi = QByteArray("PMGI", 4) + QByteArray(4, '\0')
                 + QByteArray::fromHex("012f00"); // "/" -> chunk 0
             b.replace(int(layout.chunks), pmgi.size(), pmgi);
             PutU32(b, layout.chunks + 4, layout.blockLength - quint32(pmgi.size()));
             PutU32(b, layout.itsp + 0x1c, 0);
         },
         false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray bytes = good;
        row.edit(bytes);
        const QString path = dir.filePath(QStringLiteral("edited.chm"));
        ASSERT_TRUE(WriteAll(path, bytes));
        const auto file = ChmFile::open(path);
        EXPECT_EQ(bool(file), row.opens);
        if (file) {
            // All but names with a "#", which resolve as a name and fragment.
            const QStringList entries = file->entries();
            EXPECT_EQ(ReadEverything(*file), entries.size() - entries.filter(QStringLiteral("#")).size());
        }
    }
}

TEST(HostileHelpFiles, DirectoryLoopsAreFound)
{
    const QByteArray good = ReadAll(kShipped);
    ASSERT_GT(good.size(), 4096);
    const Layout layout = LayoutOf(good);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("loop.chm"));

    // The shipped files and the fixtures have no loops; files chmlib refuses are not ours to judge.
    for (const QString &sound : {kShipped, QStringLiteral(TS_DATA_DIR "/TsHelpJP.chm"),
                                 QStringLiteral(TS_CHM_FIXTURE_EN), QStringLiteral(TS_CHM_FIXTURE_JA),
                                 QStringLiteral("/nonexistent.chm"), QString()})
        EXPECT_TRUE(CheckDirectory(sound).walksEnd) << sound.toStdString();

    struct Row { const char *name; qint64 at; quint32 value; bool ends; };
    const Row rows[] = {
        {"listing ends", layout.chunks + 0x10, 0xffffffffu, true},
        {"listing names itself", layout.chunks + 0x10, 0, false},
        {"listing names a chunk past the file", layout.chunks + 0x10, 7, true},
        {"listing names a negative chunk", layout.chunks + 0x10, 0xfffffff0u, true},
        {"root is the listing chunk", layout.itsp + 0x1c, 0, true},
        {"chunk length 0", layout.itsp + 0x10, 0, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray bytes = good;
        PutU32(bytes, row.at, row.value);
        ASSERT_TRUE(WriteAll(path, bytes));
        EXPECT_EQ(CheckDirectory(path).walksEnd, row.ends);
    }
}

TEST(HostileHelpFiles, LoopsInADirectoryOfSeveralChunks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString built = BuildManyPages(dir);
    ASSERT_FALSE(built.isEmpty());
    const QByteArray good = ReadAll(built);
    const Layout layout = LayoutOf(good);
    const qint32 root = qFromLittleEndian<qint32>(good.constData() + layout.itsp + 0x1c);
    const qint64 rootAt = layout.chunks + qint64(root) * layout.blockLength;
    ASSERT_TRUE(good.mid(rootAt, 4) == "PMGI");
    // The last listing chunk, found by following the chain from its head.
    qint64 lastAt = -1;
    for (qint32 n = qFromLittleEndian<qint32>(good.constData() + layout.itsp + 0x20); n != -1;
         n = qFromLittleEndian<qint32>(good.constData() + lastAt + 0x10))
        lastAt = layout.chunks + qint64(n) * layout.blockLength;
    ASSERT_NE(lastAt, -1);
    // The root's first entry: a one-byte name length, the name, the chunk it leads to.
    const qint64 firstTargetAt = rootAt + 8 + 1 + quint8(good[int(rootAt + 8)]);

    struct Row { const char *name; qint64 at; quint8 value; bool opens; };
    const Row rows[] = {
        {"unchanged", 0, quint8(good[0]), true},
        {"last listing chunk leads back to the first", lastAt + 0x10,
         quint8(good[int(layout.itsp + 0x20)]), false},
        {"index entry leads to its own chunk", firstTargetAt, quint8(root), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray bytes = good;
        if (row.at == lastAt + 0x10)
            PutU32(bytes, row.at, row.value);
        else
            bytes[int(row.at)] = char(row.value);
        const QString path = dir.filePath(QStringLiteral("edited.chm"));
        ASSERT_TRUE(WriteAll(path, bytes));
        const auto file = ChmFile::open(path);
        ASSERT_EQ(bool(file), row.opens);
        if (!file)
            continue;
        // Every page of every chunk, whole, and the system records: the compiler names the second
        // listing chunk as the first, so chmlib's own listing misses the first.
        EXPECT_EQ(file->system().title, QLatin1String("Many"));
        EXPECT_EQ(file->entries().filter(QStringLiteral("/page_with")).size(), 200);
        for (int i = 1; i <= 200; ++i) {
            const auto page = file->read(QStringLiteral("page_with_a_rather_long_name_number_%1.htm").arg(i));
            ASSERT_TRUE(page) << i;
            EXPECT_EQ(*page, PageOfMany(i));
        }
    }
}

TEST(HostileHelpFiles, HungChildIsEnded)
{
    // A listing chunk without entries that names itself next: chmlib's listing spins forever without
    // calling back. Started without the directory check, the child is killed at the time limit.
    QByteArray bytes = ReadAll(kShipped);
    ASSERT_GT(bytes.size(), 4096);
    const Layout layout = LayoutOf(bytes);
    PutU32(bytes, layout.chunks + 4, layout.blockLength - 20);
    PutU32(bytes, layout.chunks + 0x10, 0);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("spin.chm"));
    ASSERT_TRUE(WriteAll(path, bytes));
    EXPECT_FALSE(CheckDirectory(path).walksEnd);

    QList<QByteArray> names{"stale"};
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(ChmWorker::start(QFile::encodeName(path), &names, 200));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_TRUE(names.isEmpty());

    // A sound file through the same worker: listed, read, and refused after its name was not listed.
    const auto worker = ChmWorker::start(QFile::encodeName(kShipped), &names);
    ASSERT_TRUE(worker);
    EXPECT_TRUE(names.contains("/#SYSTEM"));
    EXPECT_TRUE(worker->read("/#SYSTEM", 1 << 20));
    EXPECT_FALSE(worker->read("/#SYSTEM", 0));
    EXPECT_FALSE(worker->read("/not listed", 1 << 20));
    EXPECT_FALSE(worker->read("/#SYSTEM", -1));
    EXPECT_TRUE(worker->alive());
}

TEST(HostileHelpFiles, RandomEditsOfTheShippedFile)
{
    const QByteArray good = ReadAll(kShipped);
    ASSERT_GT(good.size(), 4096);
    const int lzxc = good.indexOf("LZXC");
    ASSERT_GT(lzxc, 0);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("mutated.chm"));

    std::mt19937 random(20261209);
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    // Forking a sanitized process costs some 50 ms: fewer rounds there (the fuzzer adds breadth).
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kRounds = 200;
#else
    constexpr int kRounds = 1000;
#endif
    int opened = 0, refused = 0;
    for (int round = 0; round < kRounds; ++round) {
        QByteArray bytes = good;
        const int edits = 1 + below(4);
        for (int i = 0; i < edits; ++i) {
            // A quarter of the edits land in the headers, a quarter around the LZX control data and
            // reset table, the rest anywhere.
            const int kind = below(4);
            const int at = kind == 0 ? below(0x100)
                : kind == 1          ? qBound(0, lzxc - 0x100 + below(0x200), good.size() - 1)
                                     : below(good.size());
            bytes[at] = char(below(256));
        }
        ASSERT_TRUE(WriteAll(path, bytes));
        const auto file = ChmFile::open(path);
        if (!file) {
            ++refused;
            continue;
        }
        ++opened;
        ReadEverything(*file);
    }
    // Both answers occur: the edits reach the parts that decide whether a file opens.
    EXPECT_GT(opened, kRounds / 2);
    EXPECT_GT(refused, kRounds / 50);
}
