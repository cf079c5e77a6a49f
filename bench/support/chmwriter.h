// Writes a compiled help file whose objects are stored uncompressed, for benchmarks that need files
// far larger than the help compiler makes in reasonable time. One directory chunk: up to about 150
// objects with short names.
#pragma once
#include <QByteArray>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace tsbench {

// Writes `objects` (stored name such as "/page.htm", and a function that writes the object's bytes
// through `write`) to `path`. False when the file cannot be written or the names do not fit.
bool WriteUncompressedChm(
    const QString &path,
    const std::vector<std::pair<QByteArray, std::function<void(const std::function<void(const QByteArray &)> &write)>>>
        &objects);

} // namespace tsbench
