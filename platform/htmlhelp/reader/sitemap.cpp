#include "sitemap.h"

#include "htmlentities.h"

#include <QTextCodec>

#include <optional>
#include <utility>

namespace tshelp {

namespace {

// More entries or targets than this are not read.
constexpr int kMaxItems = 500000;

struct Tag
{
    QString name; // lower case, "/ul" for a closing tag
    QVector<std::pair<QString, QString>> attributes; // lower-cased name, decoded value
};

bool IsSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
        || c == QLatin1Char('\r') || c == QLatin1Char('\f');
}

// Reads the tag at text[at] == '<' up to its '>' (or the end); `at` moves past it.
Tag ReadTag(const QString &text, int &at)
{
    Tag tag;
    const int n = text.size();
    int i = at + 1;
    const int nameStart = i;
    if (i < n && text.at(i) == QLatin1Char('/'))
        ++i;
    while (i < n && !IsSpace(text.at(i)) && text.at(i) != QLatin1Char('>')
           && text.at(i) != QLatin1Char('/'))
        ++i;
    tag.name = text.mid(nameStart, i - nameStart).toLower();
    while (i < n && text.at(i) != QLatin1Char('>')) {
        if (IsSpace(text.at(i)) || text.at(i) == QLatin1Char('/')) {
            ++i;
            continue;
        }
        const int keyStart = i;
        while (i < n && !IsSpace(text.at(i)) && text.at(i) != QLatin1Char('=')
               && text.at(i) != QLatin1Char('>'))
            ++i;
        const QString key = text.mid(keyStart, i - keyStart).toLower();
        while (i < n && IsSpace(text.at(i)))
            ++i;
        QString value;
        if (i < n && text.at(i) == QLatin1Char('=')) {
            ++i;
            while (i < n && IsSpace(text.at(i)))
                ++i;
            if (i < n && (text.at(i) == QLatin1Char('"') || text.at(i) == QLatin1Char('\''))) {
                const QChar quote = text.at(i++);
                int end = text.indexOf(quote, i);
                if (end < 0)
                    end = n;
                value = text.mid(i, end - i);
                i = qMin(end + 1, n);
            } else {
                const int valueStart = i;
                while (i < n && !IsSpace(text.at(i)) && text.at(i) != QLatin1Char('>'))
                    ++i;
                value = text.mid(valueStart, i - valueStart);
            }
        }
        if (!key.isEmpty())
            tag.attributes.append({key, DecodeHtmlEntities(value)});
    }
    at = qMin(i + 1, n);
    return tag;
}

QString Attribute(const Tag &tag, const char *name)
{
    for (const auto &attribute : tag.attributes) {
        if (attribute.first == QLatin1String(name))
            return attribute.second;
    }
    return {};
}

class Builder
{
public:
    Builder() { m_levels.append({&m_root, 0}); }

    void openObject(const Tag &tag)
    {
        finishObject();
        m_inObject = true;
        m_sitemapObject =
            Attribute(tag, "type").trimmed().compare(QLatin1String("text/sitemap"),
                                                     Qt::CaseInsensitive) == 0;
    }

    void param(const Tag &tag)
    {
        if (m_inObject && m_sitemapObject && m_params.size() < kMaxItems)
            m_params.append({Attribute(tag, "name").trimmed().toLower(), Attribute(tag, "value")});
    }

    void finishObject()
    {
        if (!m_inObject)
            return;
        m_inObject = false;
        const auto params = std::exchange(m_params, {});
        if (!m_sitemapObject || m_items >= kMaxItems)
            return;
        SitemapEntry entry;
        bool haveName = false;
        std::optional<QString> title; // a further "Name": the title of the next "Local"
        for (const auto &[key, value] : params) {
            if (key == QLatin1String("name")) {
                if (!haveName) {
                    entry.name = value;
                    haveName = true;
                } else {
                    title = value;
                }
            } else if (key == QLatin1String("local")) {
                if (m_items + entry.targets.size() >= kMaxItems)
                    break;
                entry.targets.append({title.value_or(entry.name), value});
                title.reset();
            } else if (key == QLatin1String("see also") && entry.seeAlso.isEmpty()) {
                entry.seeAlso = value;
            }
        }
        if (!haveName && entry.targets.isEmpty() && entry.seeAlso.isEmpty())
            return;
        m_items += 1 + entry.targets.size();
        m_levels.last().entries->append(std::move(entry));
        m_canNest = true;
    }

    // A list right after an entry holds its children; any other list continues the current level
    // (the outermost list, or lists written without an entry before them).
    void openList()
    {
        finishObject();
        const Level current = m_levels.last();
        if (m_canNest && !current.entries->isEmpty() && current.depth + 1 < kSitemapMaxDepth)
            m_levels.append({&current.entries->last().children, current.depth + 1});
        else
            m_levels.append(current);
        m_canNest = false;
    }

    void closeList()
    {
        finishObject();
        if (m_levels.size() > 1)
            m_levels.removeLast();
        m_canNest = false;
    }

    QVector<SitemapEntry> take()
    {
        finishObject();
        m_levels.clear();
        return std::move(m_root);
    }

private:
    QVector<SitemapEntry> m_root;
    // The lists being filled, innermost last, with their depth (0 for the top level). Only the
    // innermost one grows, so the pointers to its ancestors' children stay valid.
    struct Level
    {
        QVector<SitemapEntry> *entries;
        int depth;
    };
    QVector<Level> m_levels;
    bool m_inObject = false;
    bool m_sitemapObject = false;
    bool m_canNest = false;
    QVector<std::pair<QString, QString>> m_params;
    int m_items = 0;
};

// Calls `onTag` for each tag of the text in order (comments skipped) until it returns false. A tag
// that the end of the text cuts off counts unless `wholeTagsOnly`.
template<typename OnTag>
void ForEachTag(const QString &text, bool wholeTagsOnly, OnTag onTag)
{
    const int n = text.size();
    for (int at = text.indexOf(QLatin1Char('<')); at >= 0 && at < n;
         at = text.indexOf(QLatin1Char('<'), at)) {
        if (text.midRef(at, 4) == QLatin1String("<!--")) {
            const int end = text.indexOf(QLatin1String("-->"), at + 4);
            if (end < 0)
                break;
            at = end + 3;
            continue;
        }
        const Tag tag = ReadTag(text, at);
        if (wholeTagsOnly && text.at(at - 1) != QLatin1Char('>'))
            break;
        if (!onTag(tag))
            break;
    }
}

} // namespace

QString FirstSitemapLocal(const QByteArray &data, QTextCodec *codec, bool complete)
{
    const QString text = HtmlCodec(data, codec)->toUnicode(data);
    bool inObject = false;
    bool sitemapObject = false;
    QString local;
    QString found;
    const auto finish = [&] {
        if (inObject && sitemapObject && !local.isEmpty())
            found = local;
        inObject = false;
        local.clear();
        return found.isEmpty();
    };
    ForEachTag(text, !complete, [&](const Tag &tag) {
        if (tag.name == QLatin1String("object")) {
            if (!finish())
                return false;
            inObject = true;
            sitemapObject = Attribute(tag, "type").trimmed().compare(
                                QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
            return true;
        }
        if (tag.name == QLatin1String("param")) {
            if (inObject && local.isEmpty()
                && Attribute(tag, "name").trimmed().compare(QLatin1String("local"),
                                                           Qt::CaseInsensitive) == 0)
                local = Attribute(tag, "value");
            return true;
        }
        if (tag.name == QLatin1String("/object") || tag.name == QLatin1String("li")
            || tag.name == QLatin1String("ul") || tag.name == QLatin1String("/ul")
            || tag.name == QLatin1String("ol") || tag.name == QLatin1String("/ol"))
            return finish();
        return true;
    });
    if (found.isEmpty() && complete)
        finish();
    return found;
}

QVector<SitemapEntry> ParseSitemap(const QByteArray &data, QTextCodec *codec)
{
    const QString text = HtmlCodec(data, codec)->toUnicode(data);
    Builder builder;
    ForEachTag(text, false, [&builder](const Tag &tag) {
        if (tag.name == QLatin1String("ul") || tag.name == QLatin1String("ol"))
            builder.openList();
        else if (tag.name == QLatin1String("/ul") || tag.name == QLatin1String("/ol"))
            builder.closeList();
        else if (tag.name == QLatin1String("li"))
            builder.finishObject();
        else if (tag.name == QLatin1String("object"))
            builder.openObject(tag);
        else if (tag.name == QLatin1String("/object"))
            builder.finishObject();
        else if (tag.name == QLatin1String("param"))
            builder.param(tag);
        return true;
    });
    return builder.take();
}

} // namespace tshelp
