// Checks of a help file's container that chmlib does not make itself.
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

namespace tshelp {

struct DirectoryCheck
{
    // False when chmlib's walks over the file's directory would never end: the chain of listing
    // chunks (each names the next) leads back to a chunk already listed, or the index chunks that a
    // lookup descends through lead back to one of themselves. True otherwise, also for files that are
    // not help files or are damaged in other ways: those are for chmlib to refuse.
    bool walksEnd = true;
    // The names stored in listing chunks that the chain from the first one never reaches, in chunk
    // order. chmlib's listing misses them; its lookup through the index chunks finds them. (The free
    // help compiler names the second chunk as the first when there are several.)
    QList<QByteArray> unchainedNames;
};

DirectoryCheck CheckDirectory(const QString &path);

} // namespace tshelp
