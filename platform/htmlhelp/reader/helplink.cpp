#include "helplink.h"

#include "chmsystem.h"

#include <QUrl>

namespace tshelp {

namespace {

const QLatin1String kPrefixes[] = {QLatin1String("mk:@MSITStore:"), QLatin1String("ms-its:"),
                                   QLatin1String("its:")};

} // namespace

bool HasHelpLinkPrefix(const QString &text)
{
    for (const QLatin1String &prefix : kPrefixes) {
        if (text.startsWith(prefix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

HelpLink ParseHelpLink(const QString &text)
{
    QString rest = text.trimmed();
    for (const QLatin1String &prefix : kPrefixes) {
        if (rest.startsWith(prefix, Qt::CaseInsensitive)) {
            rest = rest.mid(prefix.size());
            break;
        }
    }
    HelpLink link;
    const int separator = rest.indexOf(QLatin1String("::"));
    link.file = (separator < 0 ? rest : rest.left(separator)).trimmed();
    if (separator >= 0) {
        QString topic = rest.mid(separator + 2);
        const int window = topic.lastIndexOf(QLatin1Char('>'));
        if (window >= 0)
            topic.truncate(window);
        QString fragment;
        const int hash = topic.indexOf(QLatin1Char('#'));
        if (hash >= 0) {
            fragment = topic.mid(hash);
            topic.truncate(hash);
        }
        topic = StoredName(QUrl::fromPercentEncoding(topic.toUtf8()));
        if (!topic.isEmpty() && topic != QLatin1String("/"))
            link.topic = topic + fragment;
    } else {
        const int window = link.file.lastIndexOf(QLatin1Char('>'));
        if (window >= 0)
            link.file.truncate(window);
    }
    link.valid = !link.file.isEmpty();
    return link;
}

} // namespace tshelp
