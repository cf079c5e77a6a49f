// Help files as other authors write them: the reader's part in showing each as its author saw it.
#include "chmfile.h"
#include "helpcontent.h"
#include "searchindex.h"
#include "sitemap.h"

#include <QTextCodec>

#include <gtest/gtest.h>

using namespace tshelp;

namespace {

std::unique_ptr<ChmFile> Fixture(const char *name)
{
    return ChmFile::open(QStringLiteral(TS_CHM_FIXTURES "/%1/%1.chm").arg(QLatin1String(name)));
}

} // namespace

// One row per trait: what the file opens on, what its contents name, and what a request for one of
// its objects gets (found, content type, decoded text).
TEST(AuthorTraits, ReaderServesEachTraitAsWritten)
{
    struct Row
    {
        const char *fixture;
        const char *defaultTopic;
        const char *contentsFile;
        const char *local;   // a "Local" of the contents or a link, and the stored name it resolves to
        const char *stored;
        const char *request; // an address path, %-encoded as the engine asks
        const char *type;
        const char *codec;
        const char *text;    // in the reply, decoded
    } rows[] = {
        // Stored names with "%" in them; the contents go above the root to reach them.
        {"percent", "/page%201.html", "/toc.hhc", "../page%201.html", "/page%201.html",
         "/page%25201.html", "text/html", "windows-1252", "First page"},
        // ... and a link in a page, written as stored, which the engine reads as an escape.
        {"percent", "/page%201.html", "/toc.hhc", "page%202.html", "/page%202.html",
         "/page%202.html", "text/html", "windows-1252", "Second page"},
        // A style sheet without ".css": its text says what it is.
        {"stylesheet", "/start.htm", "/toc.hhc", "css/all.stylesheet", "/css/all.stylesheet",
         "/css/all.stylesheet", "text/css", "windows-1252", "background-color: #203040"},
        // No default topic: the first contents entry with a page, not the first page stored.
        {"nodefault", "/overview.htm", "/toc.hhc", "aaa.htm", "/aaa.htm", "/aaa.htm", "text/html",
         "windows-1252", "Appendix"},
        {"indexonly", "/welcome.htm", "", "tools.htm", "/tools.htm", "/tools.htm", "text/html",
         "windows-1252", "Hammers and saws"},
        // Pages in the code page of the file's language, without a declared character set.
        {"gbk", "/start.htm", "/toc.hhc", "start.htm", "/start.htm", "/start.htm", "text/html", "GBK",
         "整理磁盘上的碎片文件"},
        {"cp1251", "/start.htm", "/toc.hhc", "start.htm", "/start.htm", "/start.htm", "text/html",
         "windows-1251", "Фрагментированные файлы"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.fixture) + " " + row.local);
        const auto file = Fixture(row.fixture);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->system().defaultTopic, QString::fromUtf8(row.defaultTopic));
        EXPECT_EQ(file->system().contentsFile, QString::fromUtf8(row.contentsFile));
        EXPECT_EQ(file->resolve(QString::fromUtf8(row.local)), QString::fromUtf8(row.stored));
        EXPECT_EQ(file->codec(), QTextCodec::codecForName(row.codec));
        const HelpReply reply = HelpContent(*file, QString::fromUtf8(row.request));
        ASSERT_TRUE(reply.found);
        EXPECT_EQ(reply.mimeType, QByteArray(row.type));
        EXPECT_TRUE(file->codec()->toUnicode(reply.data).contains(QString::fromUtf8(row.text)));
    }
}

TEST(AuthorTraits, SitemapsDecodedInTheFilesCodePage)
{
    struct Row
    {
        const char *fixture;
        const char *name;
    } rows[] = {{"gbk", "碎片整理"}, {"cp1251", "Дефрагментация"}};
    for (const Row &row : rows) {
        const auto file = Fixture(row.fixture);
        ASSERT_TRUE(file);
        const auto toc = file->read(file->system().contentsFile);
        ASSERT_TRUE(toc);
        const auto entries = ParseSitemap(*toc, file->codec());
        ASSERT_EQ(entries.size(), 1) << row.fixture;
        EXPECT_EQ(entries.first().name, QString::fromUtf8(row.name));
    }
}

// Pages that share a title stay apart by their stored names (the viewer shows where they stand).
TEST(AuthorTraits, SearchHitsWithOneTitleKeepTheirPages)
{
    const auto file = Fixture("untitled");
    ASSERT_TRUE(file);
    SearchIndex index;
    for (const QString &name : file->entries()) {
        if (name.endsWith(QLatin1String(".htm")))
            index.addPage(name, file->read(name).value_or(QByteArray()), file->codec());
    }
    const auto hits = index.search(QStringLiteral("oil"));
    QStringList paths;
    for (const SearchIndex::Hit &hit : hits) {
        EXPECT_EQ(hit.title, QStringLiteral("Untitled"));
        paths << hit.path;
    }
    paths.sort();
    EXPECT_EQ(paths, QStringList({"/engine/oil.htm", "/gearbox/oil.htm", "/loose.htm"}));
}

TEST(AuthorTraits, PercentEscapesResolveEitherWay)
{
    const auto file = Fixture("percent");
    ASSERT_TRUE(file);
    struct Row
    {
        const char *name;
        const char *stored;
    } rows[] = {
        {"/page%201.html", "/page%201.html"},   // as stored
        {"PAGE%201.HTML", "/page%201.html"},    // any case
        {"/page%25201.html", "/page%201.html"}, // written escaped once more
        {"/page 1.html", ""},                   // a space is not "%20" in a stored name
        {"/page%2.html", ""},
        {"%", ""},
        {"%%%", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(file->resolve(QString::fromUtf8(row.name)), QString::fromUtf8(row.stored)) << row.name;
    struct UrlRow
    {
        const char *path;
        const char *stored;
    } urlRows[] = {
        {"/page%25201.html", "/page%201.html"}, // the address of the stored name
        {"/page%201.html", "/page%201.html"},   // a link written as stored
        {"/page%202.html", "/page%202.html"},
        {"/page%203.html", ""},
        {"/page%zz.html", ""},
    };
    for (const UrlRow &row : urlRows) {
        EXPECT_EQ(file->resolveUrlPath(QString::fromUtf8(row.path)), QString::fromUtf8(row.stored))
            << row.path;
    }
    // The other way: a stored "/SUB/Page.htm" named escaped.
    const auto en = ChmFile::open(QStringLiteral(TS_CHM_FIXTURE_EN));
    ASSERT_TRUE(en);
    EXPECT_EQ(en->resolve(QStringLiteral("SUB/%50age.htm")), QStringLiteral("/SUB/Page.htm"));
}

TEST(AuthorTraits, StyleSheetsKnownByTheirText)
{
    struct Row
    {
        const char *text;
        bool css;
    } rows[] = {
        {"body { color: red }", true},
        {"/* look */\n\nh1, h2 > a:hover { margin: 0 }", true},
        {"\xEF\xBB\xBF@charset \"utf-8\"; body {}", true},
        {"@import url(base.css);", true},
        {"<!-- h1 { color: red } -->", true},
        {"@media print { body { color: black } }", true},
        {"<html><body>{x}</body></html>", false},
        {"<?xml version=\"1.0\"?><a/>", false},
        {"plain text without braces", false},
        {"x; y { }", false},
        {"", false},
        {"/* a comment that never ends", false},
        {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR", false},
    };
    for (const Row &row : rows)
        EXPECT_EQ(LooksLikeStyleSheet(QByteArray(row.text)), row.css) << row.text;
    EXPECT_FALSE(LooksLikeStyleSheet(QByteArray("body {", 6) + QByteArray(1, '\0')));
}

TEST(AuthorTraits, FirstContentsEntryReadFromTheStartOnly)
{
    const QByteArray item = R"(<LI><OBJECT type="text/sitemap"><param name="Name" value="A">)"
                            R"(<param name="Local" value="a.htm"></OBJECT>)";
    struct Row
    {
        QByteArray data;
        bool complete;
        const char *local;
    } rows[] = {
        {"<UL>" + item + "</UL>", true, "a.htm"},
        // Headings without pages, other objects and comments are passed over.
        {R"(<!-- <param name="Local" value="c.htm"> --><OBJECT type="text/site properties">)"
         R"(<param name="Local" value="p.htm"></OBJECT><UL><LI><OBJECT type="text/sitemap">)"
         R"(<param name="Name" value="Book"></OBJECT><UL>)" + item + "</UL></UL>",
         true, "a.htm"},
        // An entry the cut leaves open is not taken from a part; from the whole it is.
        {R"(<UL><LI><OBJECT type="text/sitemap"><param name="Local" value="b.htm">)", false, ""},
        {R"(<UL><LI><OBJECT type="text/sitemap"><param name="Local" value="b.htm">)", true, "b.htm"},
        {R"(<UL><LI><OBJECT type="text/sitemap"><param name="Local" value="b.h)", false, ""},
        {"<UL>" + item, false, "a.htm"},
        {"", true, ""},
        {"<<<>>>", true, ""},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(FirstSitemapLocal(row.data, nullptr, row.complete), QLatin1String(row.local))
            << row.data.constData();
    }
}

// The free help compiler's files with many pages: chmlib's enumeration passes over most of their
// directory, yet every page is found by name.
TEST(AuthorTraits, EveryPageOfALargeDirectoryIsFound)
{
    const auto file = Fixture("many");
    ASSERT_TRUE(file);
    for (int i = 0; i < 300; ++i) {
        const QString name = QStringLiteral("/p%1.htm").arg(i);
        ASSERT_EQ(file->resolve(name), name);
        const auto page = file->read(name);
        ASSERT_TRUE(page) << i;
        EXPECT_TRUE(page->contains(QStringLiteral("Page %1<").arg(i).toLatin1())) << i;
    }
    EXPECT_EQ(file->resolve(QStringLiteral("/P7.HTM")), QStringLiteral("/p7.htm"));
    EXPECT_EQ(file->resolve(QStringLiteral("/p7.htm/")), QStringLiteral("/p7.htm"));
    EXPECT_EQ(file->resolve(QStringLiteral("/p300.htm")), QString());
    EXPECT_EQ(file->resolve(QStringLiteral("/")), QString());
    EXPECT_EQ(file->resolve(QStringLiteral("/#SYSTEM")), QString());
}
