// HTML text helpers shared by the sitemap reader and the full-text search: entity decoding and the
// character set that a page declares. Internal to the help-file reader.
#pragma once
#include <QByteArray>
#include <QString>

class QTextCodec;

namespace tshelp {

// `text` with its character references decoded: &amp; &lt; &gt; &quot; &apos;, common named ones
// (&eacute;, &nbsp;, ...), &#NN; and &#xNN; (the semicolon optional). Unknown names stay as written;
// invalid code points read as U+FFFD.
QString DecodeHtmlEntities(const QString &text);

// The character set that a page or sitemap names in a <meta charset=...> or an http-equiv
// content="...; charset=..." tag; empty when it names none.
QByteArray DeclaredHtmlCharset(const QByteArray &html);

// The codec to read `html` with: the declared one when Qt knows it, else `fallback`, else
// Windows-1252.
QTextCodec *HtmlCodec(const QByteArray &html, QTextCodec *fallback);

} // namespace tshelp
