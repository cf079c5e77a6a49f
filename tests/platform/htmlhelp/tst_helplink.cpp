// Help-file addresses, content types and the character set given to pages that declare none.
#include "chmfile.h"
#include "helpcontent.h"
#include "helplink.h"

#include <gtest/gtest.h>

namespace {

using tshelp::ParseHelpLink;

TEST(HelpLink, FileTopicAndPrefixes)
{
    struct Row
    {
        const char *text;
        const char *file;
        const char *topic;
        bool valid;
    } rows[] = {
        {"TsHelpEN.chm", "TsHelpEN.chm", "", true},
        {"/opt/tessaro\\TsHelpEN.chm::/defrag.htm", "/opt/tessaro\\TsHelpEN.chm", "/defrag.htm", true},
        {"TsHelpEN.chm::defrag.htm", "TsHelpEN.chm", "/defrag.htm", true},
        {"TsHelpEN.chm::/sub\\page.htm#part", "TsHelpEN.chm", "/sub/page.htm#part", true},
        {"TsHelpEN.chm::/a%20b.htm", "TsHelpEN.chm", "/a b.htm", true},
        {"TsHelpEN.chm::/defrag.htm>main", "TsHelpEN.chm", "/defrag.htm", true},
        {"TsHelpEN.chm>main", "TsHelpEN.chm", "", true},
        {"TsHelpEN.chm::/", "TsHelpEN.chm", "", true},
        {"TsHelpEN.chm::/../../etc/passwd", "TsHelpEN.chm", "/etc/passwd", true},
        {"ms-its:TsCCHelpEN.chm::/console.htm", "TsCCHelpEN.chm", "/console.htm", true},
        {"MS-ITS:TsCCHelpEN.chm::/console.htm", "TsCCHelpEN.chm", "/console.htm", true},
        {"its:TsCCHelpEN.chm::/console.htm", "TsCCHelpEN.chm", "/console.htm", true},
        {"mk:@MSITStore:/opt/TsCCHelpEN.chm::/console.htm", "/opt/TsCCHelpEN.chm", "/console.htm", true},
        {"ms-its:", "", "", false},
        {"::/page.htm", "", "/page.htm", false},
        {"", "", "", false},
    };
    for (const Row &row : rows) {
        const tshelp::HelpLink link = ParseHelpLink(QString::fromUtf8(row.text));
        EXPECT_EQ(link.valid, row.valid) << row.text;
        EXPECT_EQ(link.file.toStdString(), row.file) << row.text;
        EXPECT_EQ(link.topic.toStdString(), row.topic) << row.text;
    }
}

TEST(HelpContent, ContentTypeByExtension)
{
    struct Row
    {
        const char *name;
        const char *type;
    } rows[] = {
        {"/page.htm", "text/html"},          {"/PAGE.HTML", "text/html"},
        {"/styles/help.css", "text/css"},    {"/img/map.PNG", "image/png"},
        {"/a.jpeg", "image/jpeg"},           {"/a.gif", "image/gif"},
        {"/script.js", "text/javascript"},   {"/notes", "application/octet-stream"},
        {"/dir.d/file", "application/octet-stream"}, {"/x.unknown", "application/octet-stream"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(tshelp::MimeTypeForName(QString::fromLatin1(row.name)), QByteArray(row.type)) << row.name;
}

TEST(HelpContent, CharsetDeclaredInThePageOnlyWhenMissing)
{
    struct Row
    {
        const char *html;
        const char *expected;
    } rows[] = {
        {"<html><head><title>t</title></head></html>",
         "<html><head><meta charset=\"Shift_JIS\"><title>t</title></head></html>"},
        {"<HTML><HEAD lang=ja>x", "<HTML><HEAD lang=ja><meta charset=\"Shift_JIS\">x"},
        {"<html><body>x</body></html>", "<html><meta charset=\"Shift_JIS\"><body>x</body></html>"},
        {"<p>x", "<meta charset=\"Shift_JIS\"><p>x"},
        {"", "<meta charset=\"Shift_JIS\">"},
        {"<head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">",
         "<head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"},
        {"<head><meta charset=utf-8>", "<head><meta charset=utf-8>"},
        {"\xEF\xBB\xBF<html>", "\xEF\xBB\xBF<html>"},
        {"<head", "<meta charset=\"Shift_JIS\"><head"}, // cut off inside the tag
    };
    for (const Row &row : rows) {
        EXPECT_EQ(tshelp::WithCharsetDeclared(QByteArray(row.html), "Shift_JIS").toStdString(),
                  row.expected)
            << row.html;
    }
}

// What the viewer's engine gets for an address: decoded, cleaned, found regardless of case, typed by
// extension, and a Japanese page given its character set.
TEST(HelpContent, RepliesFromTheFile)
{
    const auto en = tshelp::ChmFile::open(QStringLiteral(TS_CHM_FIXTURE_EN));
    const auto ja = tshelp::ChmFile::open(QStringLiteral(TS_CHM_FIXTURE_JA));
    ASSERT_TRUE(en && ja);
    struct Row
    {
        const tshelp::ChmFile *file;
        const char *path;
        bool found;
        const char *type;
        const char *contains;
    } rows[] = {
        {en.get(), "/intro.htm", true, "text/html", "windows-1252"},
        {en.get(), "intro.htm", true, "text/html", nullptr},
        {en.get(), "/sub/PAGE.htm", true, "text/html", nullptr},
        {en.get(), "/SUB/%50age.htm", true, "text/html", nullptr},
        {en.get(), "/SUB/../SUB/./Page.htm", true, "text/html", nullptr},
        {en.get(), "/../../intro.htm", true, "text/html", nullptr},
        {en.get(), "/toc.hhc", true, "application/octet-stream", nullptr},
        {en.get(), "/missing.htm", false, "", nullptr},
        {en.get(), "/", false, "", nullptr},
        {en.get(), "/%23SYSTEM", false, "", nullptr},
        // (this page declares its character set itself)
        {ja.get(), "/INDEX.HTML", true, "text/html", "<html><head><meta http-equiv"},
    };
    for (const Row &row : rows) {
        const tshelp::HelpReply reply = tshelp::HelpContent(*row.file, QString::fromLatin1(row.path));
        EXPECT_EQ(reply.found, row.found) << row.path;
        EXPECT_EQ(reply.mimeType, QByteArray(row.type)) << row.path;
        if (row.contains) {
            EXPECT_TRUE(reply.data.contains(row.contains)) << row.path;
        }
    }
}

} // namespace
