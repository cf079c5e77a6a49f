#include "chmwriter.h"

#include <QFile>

namespace tsbench {

namespace {

constexpr quint32 kChunkSize = 0x1000;
constexpr quint32 kItsfLength = 0x60;
constexpr quint32 kSection0Length = 0x18;
constexpr quint32 kItspLength = 0x54;

void Put32(QByteArray &out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

void Put64(QByteArray &out, quint64 value)
{
    for (int i = 0; i < 8; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// Directory numbers: 7 bits a byte, most significant first, the high bit on all but the last.
void PutEncInt(QByteArray &out, quint64 value)
{
    QByteArray bytes;
    bytes.prepend(char(value & 0x7F));
    value >>= 7;
    while (value) {
        bytes.prepend(char(0x80 | (value & 0x7F)));
        value >>= 7;
    }
    out.append(bytes);
}

void PutGuid(QByteArray &out, quint32 a, quint16 b, quint16 c, const char (&d)[8])
{
    Put32(out, a);
    out.append(char(b & 0xFF)).append(char(b >> 8));
    out.append(char(c & 0xFF)).append(char(c >> 8));
    out.append(d, 8);
}

} // namespace

bool WriteUncompressedChm(
    const QString &path,
    const std::vector<std::pair<QByteArray, std::function<void(const std::function<void(const QByteArray &)> &)>>>
        &objects)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Content first, at its final place, so that each object's length is known for the directory.
    const quint64 contentStart = kItsfLength + kSection0Length + kItspLength + kChunkSize;
    if (!file.seek(qint64(contentStart)))
        return false;
    QByteArray entries;
    quint64 offset = 0;
    bool ok = true;
    for (const auto &object : objects) {
        quint64 length = 0;
        object.second([&](const QByteArray &bytes) {
            ok = ok && file.write(bytes) == bytes.size();
            length += quint64(bytes.size());
        });
        PutEncInt(entries, quint64(object.first.size()));
        entries.append(object.first);
        PutEncInt(entries, 0); // section 0: stored as is
        PutEncInt(entries, offset);
        PutEncInt(entries, length);
        offset += length;
    }
    constexpr int kPmglHeader = 20;
    if (!ok || entries.size() + kPmglHeader + 2 > int(kChunkSize))
        return false;

    QByteArray head;
    // File header.
    head.append("ITSF", 4);
    Put32(head, 3);
    Put32(head, kItsfLength);
    Put32(head, 1);
    Put32(head, 0);      // time stamp
    Put32(head, 0x409);  // language
    PutGuid(head, 0x7C01FD10, 0x7BAA, 0x11D0, {'\x9E', '\x0C', '\x00', '\xA0', '\xC9', '\x22', '\xE6', '\xEC'});
    PutGuid(head, 0x7C01FD11, 0x7BAA, 0x11D0, {'\x9E', '\x0C', '\x00', '\xA0', '\xC9', '\x22', '\xE6', '\xEC'});
    Put64(head, kItsfLength);
    Put64(head, kSection0Length);
    Put64(head, kItsfLength + kSection0Length);
    Put64(head, kItspLength + kChunkSize);
    Put64(head, contentStart);
    // Header section 0.
    Put32(head, 0x1FE);
    Put32(head, 0);
    Put64(head, contentStart + offset);
    Put32(head, 0);
    Put32(head, 0);
    // Directory header: one listing chunk, no index chunks.
    head.append("ITSP", 4);
    Put32(head, 1);
    Put32(head, kItspLength);
    Put32(head, 0x0A);
    Put32(head, kChunkSize);
    Put32(head, 2);           // quick-reference density
    Put32(head, 1);           // index depth: listing chunks only
    Put32(head, 0xFFFFFFFF);  // no root index chunk
    Put32(head, 0);           // first listing chunk
    Put32(head, 0);           // last listing chunk
    Put32(head, 0xFFFFFFFF);
    Put32(head, 1);           // chunks
    Put32(head, 0x409);
    PutGuid(head, 0x5D02926A, 0x212E, 0x11D0, {'\x9D', '\xF9', '\x00', '\xA0', '\xC9', '\x22', '\xE6', '\xEC'});
    Put32(head, kItspLength);
    Put32(head, 0xFFFFFFFF);
    Put32(head, 0xFFFFFFFF);
    Put32(head, 0xFFFFFFFF);
    // The listing chunk.
    QByteArray chunk;
    chunk.append("PMGL", 4);
    Put32(chunk, quint32(int(kChunkSize) - kPmglHeader - entries.size()));
    Put32(chunk, 0);
    Put32(chunk, 0xFFFFFFFF); // no previous chunk
    Put32(chunk, 0xFFFFFFFF); // no next chunk
    chunk.append(entries);
    chunk.append(QByteArray(int(kChunkSize) - chunk.size() - 2, '\0'));
    chunk.append(char(objects.size() & 0xFF)).append(char((objects.size() >> 8) & 0xFF));
    head.append(chunk);
    if (head.size() != int(contentStart))
        return false;
    return file.seek(0) && file.write(head) == head.size() && file.flush();
}

} // namespace tsbench
