// Full-text search: the text a page shows, and which pages a query finds in which order.
#include "searchindex.h"

#include <QTextCodec>

#include <gtest/gtest.h>

using namespace tshelp;

TEST(SearchIndex, PlainText)
{
    struct Row { const char *html; const char *text; const char *title; };
    const Row rows[] = {
        {"<html><head><title>The &amp; Title</title><style>p{}</style><meta charset=x></head>"
         "<body><p>One</p><p>two <b>th</b>ree</p></body></html>", "One two three", "The & Title"},
        {"<script type='text/javascript'>if (a < b) x = '</p>';</script>visible", "visible", ""},
        {"<SCRIPT>hidden</SCRIPT >shown<!-- not <b>this</b> -->!", "shown!", ""},
        {"<head>\n <link rel=x>\n <meta name=keywords content=hidden></head>body", "body", ""},
        {"<head><title>T</title>text without a body tag<p>para", "text without a body tag para", "T"},
        {"caf&eacute; &#233;&#xE9; &lt;tag&gt; &amp;amp; &nbsp;x", "café éé <tag> &amp; x", ""},
        {"a < b and c<d", "a < b and c", ""},
        {"<a href=\"x>y\" title='>'>link</a>", "link", ""},
        {"  lots \n\t of   space  ", "lots of space", ""},
        {"<script>never closed", "", ""},
        {"<p", "", ""},
        {"", "", ""},
    };
    for (const Row &row : rows) {
        QString title;
        EXPECT_EQ(SearchIndex::PlainText(QString::fromUtf8(row.html), &title), QString::fromUtf8(row.text))
            << row.html;
        EXPECT_EQ(title, QString::fromUtf8(row.title)) << row.html;
    }
}

TEST(SearchIndex, Search)
{
    QTextCodec *w1252 = QTextCodec::codecForName("windows-1252");
    QTextCodec *sjis = QTextCodec::codecForName("Shift_JIS");
    SearchIndex index;
    index.addPage(QStringLiteral("/cafe.htm"),
                  "<title>Menu</title><p>Our caf&eacute; serves coffee. Coffee, COFFEE!</p>", w1252);
    index.addPage(QStringLiteral("/coffee.htm"), "<title>Coffee</title><p>About coffee.</p>", w1252);
    index.addPage(QStringLiteral("/script.htm"),
                  "<title>Script</title><script>var needle = 'coffee';</script><p>tea</p>", w1252);
    index.addPage(QStringLiteral("/ja.htm"),
                  sjis->fromUnicode(QStringLiteral("<title>検索</title><p>日本語の全文検索です。</p>")), sjis);
    index.addPage(QStringLiteral("/declared.htm"),
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
                      + sjis->fromUnicode(QStringLiteral("<p>宣言された文字コード</p>")),
                  w1252);
    index.addPage(QStringLiteral("/untitled.htm"), "<p>tea and coffee</p>", w1252);
    EXPECT_EQ(index.pageCount(), 6);

    struct Row { const char *query; const char *expected; };
    const Row rows[] = {
        {"café", "/cafe.htm"},
        {"CAFÉ", "/cafe.htm"},
        // The title weighs ten times a word in the text.
        {"coffee", "/coffee.htm:11 /cafe.htm:3 /untitled.htm:1"},
        {"needle", ""},
        {"tea coffee", "/untitled.htm:2"},
        {"  tea  ", "/untitled.htm:1 /script.htm:1"},
        {"全文", "/ja.htm"},
        {"検索", "/ja.htm:11"},
        {"文字", "/declared.htm"},
        {"coffee 検索", ""},
        {"", ""},
        {"   ", ""},
    };
    for (const Row &row : rows) {
        QStringList got;
        const QString expected = QString::fromUtf8(row.expected);
        for (const SearchIndex::Hit &hit : index.search(QString::fromUtf8(row.query)))
            got << (expected.contains(QLatin1Char(':')) ? hit.path + QLatin1Char(':') + QString::number(hit.score)
                                                        : hit.path);
        EXPECT_EQ(got.join(QLatin1Char(' ')), expected) << row.query;
    }
    const auto hits = index.search(QStringLiteral("and"));
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].title, QStringLiteral("/untitled.htm")); // no <title>: the path
}
