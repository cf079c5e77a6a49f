// A whole help file through the reader's entry points, as the viewer uses them: open, every object
// read, the default topic as a page, the contents and index parsed, the search index built over every
// page and searched. The input is written to a file first (chmlib reads files by name). Invariants:
// the process survives (chmlib runs in a child), reads honour their limit, listed names that
// cleaning keeps resolve.
#include "chmfile.h"
#include "chmsystem.h"
#include "helpcontent.h"
#include "searchindex.h"
#include "sitemap.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <unistd.h>

namespace {

QString InputPath()
{
    static const QString path = [] {
        const QString dir = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                      : QDir::tempPath();
        return QStringLiteral("%1/fuzz_chmfile-%2.chm").arg(dir).arg(getpid());
    }();
    static const bool removedAtExit = std::atexit([] { QFile::remove(InputPath()); }) == 0;
    Q_UNUSED(removedAtExit);
    return path;
}

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

std::optional<QByteArray> Read(const tshelp::ChmFile &file, const QString &name, qint64 limit)
{
    std::optional<QByteArray> data = file.read(name, limit);
    Check(!data || data->size() <= limit);
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = InputPath();
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        out.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const std::unique_ptr<tshelp::ChmFile> file = tshelp::ChmFile::open(path);
    if (!file)
        return 0;
    // Small limits keep each run short: a damaged length field can claim up to the limit.
    constexpr qint64 kObjectLimit = 1 << 20;
    const QStringList entries = file->entries();
    for (const QString &entry : entries) {
        Check(entry.startsWith(QLatin1Char('/')));
        // Names that cleaning leaves as they are resolve ("#" starts a fragment, "//" is one "/").
        if (tshelp::StoredName(entry) == entry)
            Check(!file->resolve(entry).isEmpty());
        Read(*file, entry, kObjectLimit);
    }
    const tshelp::HelpSystemInfo &info = file->system();
    QTextCodec *codec = file->codec();
    Check(codec != nullptr);
    const tshelp::HelpReply page = tshelp::HelpContent(*file, info.defaultTopic);
    Check(!page.found || !page.mimeType.isEmpty());

    for (const QString &sitemap : {info.contentsFile, info.indexFile}) {
        if (const auto bytes = Read(*file, sitemap, kObjectLimit))
            tshelp::ParseSitemap(*bytes, codec);
    }

    tshelp::SearchIndex index;
    for (const QString &entry : entries) {
        if (!tshelp::IsPageName(entry))
            continue;
        if (const auto html = Read(*file, entry, kObjectLimit))
            index.addPage(entry, *html, codec);
    }
    for (const tshelp::SearchIndex::Hit &hit : index.search(QStringLiteral("the help")))
        Check(hit.score > 0);
    return 0;
}
