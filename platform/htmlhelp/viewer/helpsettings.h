// What the help viewer remembers across runs, under the product's organisation: per help file its
// favorites and chosen character set, and for every viewer whether the navigation pane shows and
// where the splitter stands. A file's entries are kept with the file's identity, so that another file
// put in its place does not show them.
#pragma once
#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVector>

namespace tshelp {

struct Favorite
{
    QString title;
    QString topic; // the stored name ("/page.htm#part"), or "file.chm::/page.htm" for another file's
    bool operator==(const Favorite &other) const
    {
        return title == other.title && topic == other.topic;
    }
};

class HelpSettings
{
public:
    // `path` is the help file's path as opened (made canonical here).
    static QVector<Favorite> favorites(const QString &path);
    static void setFavorites(const QString &path, const QVector<Favorite> &favorites);

    // Empty for the file's own character set.
    static QByteArray characterSet(const QString &path);
    static void setCharacterSet(const QString &path, const QByteArray &name);

    static bool navigationVisible();
    static void setNavigationVisible(bool visible);
    static QByteArray splitterState();
    static void setSplitterState(const QByteArray &state);

    // What tells two files apart at one path: their size and their first and last 64 KiB. Empty
    // when the file cannot be read.
    static QByteArray fileIdentity(const QString &path);
};

} // namespace tshelp

Q_DECLARE_METATYPE(tshelp::Favorite)
