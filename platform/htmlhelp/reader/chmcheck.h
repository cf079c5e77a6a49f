// Checks of a help file's container that chmlib does not make itself.
#pragma once
#include <QString>

namespace tshelp {

// False when chmlib's walks over the file's directory would never end: the chain of listing chunks
// (each names the next) leads back to a chunk already listed, or the index chunks that a lookup
// descends through lead back to one of themselves. True otherwise, also for files that are not help
// files or are damaged in other ways: those are for chmlib to refuse.
bool DirectoryWalksEnd(const QString &path);

} // namespace tshelp
