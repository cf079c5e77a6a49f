#include "chmcheck.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QVector>
#include <QtEndian>

namespace tshelp {

namespace {

// Where chmlib finds the directory: the file header names the directory's header, the chunks of
// `blockLength` bytes follow it.
struct Directory
{
    quint64 chunksAt = 0;
    quint32 blockLength = 0;
    qint32 chunkCount = 0; // whole chunks inside the directory and the file
    qint32 indexRoot = -1;
    qint32 listingHead = -1;
};

class ChunkReader
{
public:
    ChunkReader(QFile &file, const Directory &dir) : m_file(file), m_dir(dir) {}

    // The chunk `number` as chmlib fetches it, empty when it is not wholly inside the file.
    QByteArray chunk(qint32 number)
    {
        const auto cached = m_chunks.constFind(number);
        if (cached != m_chunks.constEnd())
            return *cached;
        QByteArray bytes;
        // chmlib widens the signed number: a negative one lies far beyond any file.
        const quint64 at = m_dir.chunksAt + quint64(qint64(number)) * m_dir.blockLength;
        if (number >= 0 && at + m_dir.blockLength <= quint64(m_file.size()) && m_file.seek(qint64(at)))
            bytes = m_file.read(m_dir.blockLength);
        if (bytes.size() != int(m_dir.blockLength))
            bytes.clear();
        m_chunks.insert(number, bytes);
        return bytes;
    }

private:
    QFile &m_file;
    const Directory &m_dir;
    QHash<qint32, QByteArray> m_chunks;
};

// A 7-bit encoded integer as chmlib reads it; false when it runs past `end`.
bool ReadEncoded(const QByteArray &chunk, int &at, int end, quint64 &value)
{
    value = 0;
    while (at < end) {
        const quint8 byte = quint8(chunk[at++]);
        value = (value << 7) | (byte & 0x7f);
        if (byte < 0x80)
            return true;
    }
    return false;
}

// The names in a listing chunk, up to the first damaged entry.
QList<QByteArray> ListingNames(const QByteArray &chunk)
{
    QList<QByteArray> names;
    const quint32 freeSpace = qFromLittleEndian<quint32>(chunk.constData() + 4);
    if (freeSpace > quint32(chunk.size()))
        return names;
    const int end = chunk.size() - int(freeSpace);
    int at = 20;
    while (at < end) {
        quint64 nameLength = 0, value = 0;
        if (!ReadEncoded(chunk, at, chunk.size(), nameLength) || nameLength > 512
            || nameLength > quint64(chunk.size() - at))
            break;
        names.append(chunk.mid(at, int(nameLength)));
        at += int(nameLength);
        // section, offset, length
        if (!ReadEncoded(chunk, at, chunk.size(), value) || !ReadEncoded(chunk, at, chunk.size(), value)
            || !ReadEncoded(chunk, at, chunk.size(), value))
            break;
    }
    return names;
}

// The chunk numbers that an index chunk's entries lead to, -1 (no chunk) among them.
QVector<qint32> IndexTargets(const QByteArray &chunk)
{
    QVector<qint32> targets{-1};
    const quint32 freeSpace = qFromLittleEndian<quint32>(chunk.constData() + 4);
    if (freeSpace > quint32(chunk.size()))
        return targets;
    const int end = chunk.size() - int(freeSpace);
    int at = 8;
    while (at < end) {
        quint64 nameLength = 0, target = 0;
        if (!ReadEncoded(chunk, at, chunk.size(), nameLength) || nameLength > 512
            || nameLength > quint64(chunk.size() - at))
            break;
        at += int(nameLength);
        if (!ReadEncoded(chunk, at, chunk.size(), target))
            break;
        targets.append(qint32(quint32(target))); // chmlib keeps the low 32 bits
    }
    return targets;
}

bool IsChunk(const QByteArray &chunk, const char *signature)
{
    return chunk.size() >= 20 && chunk.startsWith(signature);
}

bool ReadDirectory(QFile &file, Directory &dir)
{
    const QByteArray header = file.read(0x60);
    if (header.size() < 0x58 || !header.startsWith("ITSF"))
        return false;
    const quint64 dirAt = qFromLittleEndian<quint64>(header.constData() + 0x48);
    const quint64 dirLength = qFromLittleEndian<quint64>(header.constData() + 0x50);
    if (dirAt > quint64(file.size()) || !file.seek(qint64(dirAt)))
        return false;
    const QByteArray itsp = file.read(0x54);
    if (itsp.size() < 0x54 || !itsp.startsWith("ITSP"))
        return false;
    dir.chunksAt = dirAt + qFromLittleEndian<quint32>(itsp.constData() + 0x08);
    dir.blockLength = qFromLittleEndian<quint32>(itsp.constData() + 0x10);
    dir.indexRoot = qFromLittleEndian<qint32>(itsp.constData() + 0x1c);
    dir.listingHead = qFromLittleEndian<qint32>(itsp.constData() + 0x20);
    if (dir.indexRoot <= -1)
        dir.indexRoot = dir.listingHead;
    // Chunks too small for their own header: chmlib refuses them before following any link.
    if (dir.blockLength < 20 || dir.blockLength > quint32(file.size()))
        return false;
    const quint64 directoryEnd = qMin(dirAt + qMin(dirLength, quint64(file.size())), quint64(file.size()));
    if (directoryEnd > dir.chunksAt)
        dir.chunkCount = qint32((directoryEnd - dir.chunksAt) / dir.blockLength);
    return true;
}

// Whether chmlib's walks over the directory end (see DirectoryCheck); collects the names of the
// listing chunks outside the chain.
bool DirectoryWalksEnd(QFile &file, const Directory &dir, QList<QByteArray> &unchainedNames)
{
    ChunkReader chunks(file, dir);

    // The listing: each chunk names the next, -1 ends it.
    QSet<qint32> listed;
    for (qint32 number = dir.listingHead; number != -1;) {
        const QByteArray chunk = chunks.chunk(number);
        if (!IsChunk(chunk, "PMGL"))
            break;
        if (listed.contains(number))
            return false;
        listed.insert(number);
        number = qFromLittleEndian<qint32>(chunk.constData() + 0x10);
    }
    for (qint32 number = 0; number < dir.chunkCount; ++number) {
        const QByteArray chunk = chunks.chunk(number);
        if (!listed.contains(number) && IsChunk(chunk, "PMGL"))
            unchainedNames += ListingNames(chunk);
    }

    // Lookups: from the root down through index chunks, which must form no cycle. Depth-first, with
    // the chunks on the current path marked.
    enum Mark : quint8 { OnPath = 1, Done = 2 };
    QHash<qint32, quint8> marks;
    struct Step
    {
        qint32 number;
        QVector<qint32> targets;
        int next;
    };
    QVector<Step> trail;
    const auto enter = [&](qint32 number) {
        const QByteArray chunk = chunks.chunk(number);
        if (number == -1 || !IsChunk(chunk, "PMGI")) {
            marks.insert(number, Done);
            return;
        }
        marks.insert(number, OnPath);
        trail.append({number, IndexTargets(chunk), 0});
    };
    enter(dir.indexRoot);
    while (!trail.isEmpty()) {
        Step &step = trail.last();
        if (step.next == step.targets.size()) {
            marks.insert(step.number, Done);
            trail.removeLast();
            continue;
        }
        const qint32 target = step.targets[step.next++];
        const quint8 mark = marks.value(target, 0);
        if (mark == OnPath)
            return false;
        if (mark == 0)
            enter(target);
    }
    return true;
}

} // namespace

DirectoryCheck CheckDirectory(const QString &path)
{
    DirectoryCheck check;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return check;
    Directory dir;
    if (!ReadDirectory(file, dir))
        return check;
    check.walksEnd = DirectoryWalksEnd(file, dir, check.unchainedNames);
    if (!check.walksEnd)
        check.unchainedNames.clear();
    return check;
}

} // namespace tshelp
