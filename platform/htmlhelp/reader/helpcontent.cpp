#include "helpcontent.h"

#include "chmfile.h"
#include "chmsystem.h"

#include <QHash>
#include <QRegularExpression>
#include <QTextCodec>
#include <QUrl>

namespace tshelp {

bool IsPageName(const QString &name)
{
    return name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

QByteArray MimeTypeForName(const QString &name)
{
    static const QHash<QString, QByteArray> types = {
        {QStringLiteral("htm"), "text/html"},        {QStringLiteral("html"), "text/html"},
        {QStringLiteral("css"), "text/css"},         {QStringLiteral("js"), "text/javascript"},
        {QStringLiteral("txt"), "text/plain"},       {QStringLiteral("xml"), "text/xml"},
        {QStringLiteral("png"), "image/png"},        {QStringLiteral("gif"), "image/gif"},
        {QStringLiteral("jpg"), "image/jpeg"},       {QStringLiteral("jpeg"), "image/jpeg"},
        {QStringLiteral("bmp"), "image/bmp"},        {QStringLiteral("ico"), "image/x-icon"},
        {QStringLiteral("svg"), "image/svg+xml"},    {QStringLiteral("webp"), "image/webp"},
    };
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < name.lastIndexOf(QLatin1Char('/')))
        return "application/octet-stream";
    return types.value(name.mid(dot + 1).toLower(), "application/octet-stream");
}

QByteArray TranscodedToUtf8(const QByteArray &html, QTextCodec *codec)
{
    if (!codec)
        return html;
    return QByteArray("\xEF\xBB\xBF") + codec->toUnicode(html).toUtf8();
}

QByteArray WithCharsetDeclared(const QByteArray &html, const QByteArray &codecName)
{
    if (html.startsWith("\xEF\xBB\xBF") || html.startsWith("\xFF\xFE") || html.startsWith("\xFE\xFF"))
        return html;
    const QByteArray head = html.left(1024).toLower();
    static const QRegularExpression declared(QStringLiteral("<meta[^>]*charset"));
    if (declared.match(QString::fromLatin1(head)).hasMatch())
        return html;
    const QByteArray meta = "<meta charset=\"" + codecName + "\">";
    for (const char *tag : {"<head", "<html"}) {
        const int at = head.indexOf(tag);
        if (at < 0)
            continue;
        const int end = html.indexOf('>', at);
        if (end < 0)
            break;
        return html.left(end + 1) + meta + html.mid(end + 1);
    }
    return meta + html;
}

bool LooksLikeStyleSheet(const QByteArray &data)
{
    const QByteArray head = data.left(4096);
    if (head.contains('\0'))
        return false;
    // Comments, then an at-rule or a rule's selector up to its "{" (no markup on the way).
    static const QRegularExpression start(QStringLiteral(
        "^(?:\\x{FEFF})?(?:\\s|/\\*.*?\\*/|<!--|-->)*"
        "(?:@(?:charset|import|media|font-face|page|namespace|supports|keyframes)\\b"
        "|[^\\s{}<>;@\"'][^{}<;]*\\{)"),
        QRegularExpression::DotMatchesEverythingOption);
    return start.match(QString::fromUtf8(head)).hasMatch();
}

HelpReply HelpContent(const ChmFile &file, const QString &encodedPath, qint64 limit)
{
    HelpReply reply;
    const QString stored = file.resolveUrlPath(encodedPath);
    if (stored.isEmpty())
        return reply;
    const std::optional<QByteArray> data = file.read(stored, limit);
    if (!data)
        return reply;
    reply.found = true;
    reply.mimeType = MimeTypeForName(stored);
    if (reply.mimeType == "application/octet-stream" && LooksLikeStyleSheet(*data))
        reply.mimeType = "text/css";
    reply.data = *data;
    if (reply.mimeType == "text/html")
        reply.data = WithCharsetDeclared(reply.data, CodecNameForLcid(file.system().lcid));
    return reply;
}

} // namespace tshelp
