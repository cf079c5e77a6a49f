// The reply to a request for an object of a help file: its bytes and content type.
#pragma once
#include <QByteArray>
#include <QString>

class QTextCodec;

namespace tshelp {

class ChmFile;

struct HelpReply
{
    bool found = false;
    QByteArray mimeType; // "text/html", "text/css", "image/png", ...
    QByteArray data;
};

// The object that `path` names in `file`: the path is %-decoded, cleaned (backslashes, "." and
// "..", a leading "/" added) and found regardless of ASCII case (ChmFile::resolveUrlPath). The
// content type follows the name's extension; an object whose extension says nothing ("all.
// stylesheet") and whose text reads as a style sheet is one: pages link such sheets, and the engine
// drops a sheet of another type in standards mode. An HTML page that declares no character set gets a <meta charset> of the file's language
// near its start: the engine would otherwise read it as Windows-1252. (Declaring it in the content
// type instead leaves the page blank.) Objects larger than `limit` bytes are not found.
HelpReply HelpContent(const ChmFile &file, const QString &encodedPath,
                      qint64 limit = 64 * 1024 * 1024);

// Whether the start of `data` reads as CSS: text whose first rule, after comments, is an at-rule or
// a selector with its "{".
bool LooksLikeStyleSheet(const QByteArray &data);

// `html` decoded with `codec` and given back as UTF-8 behind a byte-order mark, which outranks any
// character set that the page declares (the user's choice of character set).
QByteArray TranscodedToUtf8(const QByteArray &html, QTextCodec *codec);

// Whether a stored name or address path names an HTML page (".htm", ".html", any letter case).
bool IsPageName(const QString &name);

// The content type for a name's extension; "application/octet-stream" when unknown.
QByteArray MimeTypeForName(const QString &name);

// `html` with `<meta charset="codecName">` inserted after its <head> (else <html>, else at the start)
// unless the first kilobyte already declares a character set or the text starts with a byte-order mark.
QByteArray WithCharsetDeclared(const QByteArray &html, const QByteArray &codecName);

} // namespace tshelp
