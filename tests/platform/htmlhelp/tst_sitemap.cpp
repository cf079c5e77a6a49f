// Contents and index sitemaps: the tree read from well-formed, loose and broken markup.
#include "sitemap.h"

#include <QTextCodec>

#include <gtest/gtest.h>

using namespace tshelp;

namespace {

// "name[title>local,...]<see also>{children}" for each entry, space separated.
QString Dump(const QVector<SitemapEntry> &entries)
{
    QStringList out;
    for (const SitemapEntry &e : entries) {
        QString s = e.name;
        QStringList targets;
        for (const SitemapTarget &t : e.targets)
            targets << t.title + QLatin1Char('>') + t.local;
        if (!targets.isEmpty())
            s += QLatin1Char('[') + targets.join(QLatin1Char(',')) + QLatin1Char(']');
        if (!e.seeAlso.isEmpty())
            s += QLatin1Char('<') + e.seeAlso + QLatin1Char('>');
        if (!e.children.isEmpty())
            s += QLatin1Char('{') + Dump(e.children) + QLatin1Char('}');
        out << s;
    }
    return out.join(QLatin1Char(' '));
}

QByteArray Item(const char *params)
{
    return QByteArray("<LI><OBJECT type=\"text/sitemap\">") + params + "</OBJECT>\n";
}

int Depth(const QVector<SitemapEntry> &entries)
{
    int depth = 0;
    for (const SitemapEntry &e : entries)
        depth = qMax(depth, 1 + Depth(e.children));
    return depth;
}

} // namespace

TEST(Sitemap, Rows)
{
    const QByteArray a = Item(R"(<param name="Name" value="A"><param name="Local" value="a.htm">)");
    const QByteArray b = Item(R"(<param name="Name" value="B"><param name="Local" value="b.htm">)");
    const QByteArray c = Item(R"(<param name="Name" value="C"><param name="Local" value="c.htm">)");
    struct Row { const char *what; QByteArray html; const char *expected; };
    const Row rows[] = {
        {"nested", "<UL>" + a + "<UL>" + b + "<UL>" + c + "</UL></UL>" + c + "</UL>",
         "A[A>a.htm]{B[B>b.htm]{C[C>c.htm]}} C[C>c.htm]"},
        {"two lists side by side", "<UL>" + a + "</UL><UL>" + b + "</UL>", "A[A>a.htm] B[B>b.htm]"},
        {"keyword with two targets",
         Item(R"(<param name="Name" value="kw"><param name="Name" value="T1"><param name="Local" value="1.htm">
                 <param name="Name" value="T2"><param name="Local" value="2.htm">)"),
         "kw[T1>1.htm,T2>2.htm]"},
        {"heading without a page", Item(R"(<param name="Name" value="Head">)"), "Head"},
        {"see also", Item(R"(<param name="Name" value="colour"><param name="See Also" value="color">)"),
         "colour<color>"},
        {"entities", Item(R"(<param name="Name" value="a &amp; b &lt;c&gt; &#233;&#xE9;&eacute; &bogus; &quot;q&quot;"><param name="Local" value="x.htm?a=1&amp;b=2">)"),
         "a & b <c> ééé &bogus; \"q\"[a & b <c> ééé &bogus; \"q\">x.htm?a=1&b=2]"},
        {"unquoted, single quotes, any case",
         "<ul><li><Object TYPE='Text/Sitemap'><PARAM NAME=Name VALUE=Plain><Param name='local' value='p q.htm'></object></ul>",
         "Plain[Plain>p q.htm]"},
        {"unbalanced lists", "</UL></UL>" + a + "<UL>" + b + "</UL></UL></UL>" + c + "<UL><UL>",
         "A[A>a.htm]{B[B>b.htm]} C[C>c.htm]"},
        {"lists without entries", "<UL><UL><UL>" + a + "</UL>" + b + "</UL></UL>", "A[A>a.htm] B[B>b.htm]"},
        {"object left open",
         R"(<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="A"><param name="Local" value="a.htm"><LI>)" + b,
         "A[A>a.htm] B[B>b.htm]"},
        {"other objects and comments",
         R"(<OBJECT type="text/site properties"><param name="Name" value="no"></OBJECT><!-- )" + c + "-->" + a,
         "A[A>a.htm]"},
        {"cut in a tag", a + R"(<LI><OBJECT type="text/sitemap"><param name="Name" value="B)", "A[A>a.htm] B"},
        {"empty", "", ""},
        {"not markup", QByteArray("\0\xff<<<>>>=\"'", 10), ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(Dump(ParseSitemap(row.html, nullptr)), QString::fromUtf8(row.expected)) << row.what;
}

TEST(Sitemap, NestingIsCapped)
{
    QByteArray html;
    for (int i = 0; i < 1000; ++i)
        html += "<UL>" + Item(R"(<param name="Name" value="x">)");
    const auto entries = ParseSitemap(html, nullptr);
    EXPECT_EQ(Depth(entries), kSitemapMaxDepth);
}

TEST(Sitemap, Codecs)
{
    QTextCodec *sjis = QTextCodec::codecForName("Shift_JIS");
    const QByteArray japanese = sjis->fromUnicode(QStringLiteral("目次"));
    const QByteArray item = Item(QByteArray("<param name=\"Name\" value=\"" + japanese + "\">").constData());
    const QByteArray latin = Item("<param name=\"Name\" value=\"caf\xe9\">");
    struct Row { const char *what; QByteArray html; QTextCodec *codec; const char *expected; };
    const Row rows[] = {
        {"the given codec", item, sjis, "目次"},
        {"http-equiv wins", R"(<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">)" + item,
         QTextCodec::codecForName("windows-1252"), "目次"},
        {"meta charset wins", "<META CHARSET=shift_jis>" + item, nullptr, "目次"},
        {"the charset after another word", "<meta name=charsetinfo content='text/html; charset=Shift_JIS'>" + item,
         nullptr, "目次"},
        {"unknown charset: the given codec", "<meta charset=\"no-such\">" + item, sjis, "目次"},
        {"no codec: Windows-1252", latin, nullptr, "café"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(Dump(ParseSitemap(row.html, row.codec)), QString::fromUtf8(row.expected)) << row.what;
}
