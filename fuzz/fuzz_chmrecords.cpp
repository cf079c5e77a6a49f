// The help-file records and pages that a help file carries (chmlib's own container parsing is not
// ours to fuzz): the input is "#SYSTEM", "#WINDOWS", "#STRINGS", a sitemap or page, and a query,
// separated by "#@@#". Invariants: stored names are rooted and free of "." and ".." segments, the
// sitemap's nesting stays capped, and every hit holds every word of the query.
#include "chmsystem.h"
#include "searchindex.h"
#include "sitemap.h"

#include <QTextCodec>

#include <cstddef>
#include <cstdint>

namespace {

void CheckStoredName(const QString &name)
{
    if (name.isEmpty())
        return;
    if (!name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        __builtin_trap();
    for (const QStringRef &segment : name.splitRef(QLatin1Char('/'))) {
        if (segment == QLatin1String(".") || segment == QLatin1String(".."))
            __builtin_trap();
    }
}

int Depth(const QVector<tshelp::SitemapEntry> &entries)
{
    int depth = 0;
    for (const tshelp::SitemapEntry &e : entries)
        depth = qMax(depth, 1 + Depth(e.children));
    return depth;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QVector<QByteArray> fields;
    int from = 0;
    while (fields.size() < 4) {
        const int at = input.indexOf("#@@#", from);
        if (at < 0)
            break;
        fields.append(input.mid(from, at - from));
        from = at + 4;
    }
    fields.append(input.mid(from));
    fields.resize(5);
    const QByteArray &system = fields[0], &windows = fields[1], &strings = fields[2],
                     &page = fields[3], &query = fields[4];

    const quint32 lcid = tshelp::LanguageOfSystemRecord(system);
    const QByteArray codecName = tshelp::CodecNameForLcid(lcid);
    QTextCodec *codec = QTextCodec::codecForName(codecName);
    if (!codec)
        __builtin_trap();

    tshelp::HelpSystemInfo info;
    tshelp::ReadWindowsRecord(info, windows, strings, codecName);
    tshelp::ReadSystemRecord(info, system, codecName);
    if (info.lcid != lcid)
        __builtin_trap();
    for (const QString *name : {&info.defaultTopic, &info.contentsFile, &info.indexFile})
        CheckStoredName(*name);
    CheckStoredName(tshelp::StoredName(QString::fromLatin1(page.left(512))));

    if (Depth(tshelp::ParseSitemap(page, codec)) > 64)
        __builtin_trap();

    tshelp::SearchIndex index;
    index.addPage(QStringLiteral("/a.htm"), page, codec);
    index.addPage(QStringLiteral("/b.htm"), strings, nullptr);
    const QString words = QString::fromUtf8(query);
    for (const tshelp::SearchIndex::Hit &hit : index.search(words)) {
        if (hit.score <= 0)
            __builtin_trap();
    }
    return 0;
}
