#include "navigationurl.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace tsax {

QUrl NavigationUrl(const QString &target)
{
    const QString text = target.trimmed();
    if (text.isEmpty())
        return {};
    // A scheme is two or more characters: "C:" is a drive, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch()) {
        QUrl url(text, QUrl::TolerantMode);
        if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0
            && url.path().contains(QLatin1Char('\\')))
            url.setPath(url.path().replace(QLatin1Char('\\'), QLatin1Char('/')));
        return url;
    }
    QString path = text;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(path);
    if (path.startsWith(QLatin1Char('/')) || text.contains(QLatin1Char('\\')) || info.exists())
        return QUrl::fromLocalFile(QDir::cleanPath(info.absoluteFilePath()));
    return QUrl::fromUserInput(text);
}

} // namespace tsax
