#include "chmsystem.h"

#include <QStringList>
#include <QTextCodec>
#include <QtEndian>

namespace tshelp {

namespace {

// Bounds-checked little-endian reads; false when the value does not lie wholly inside `data`.
bool ReadU16(const QByteArray &data, qint64 at, quint16 &value)
{
    if (at < 0 || at + 2 > data.size())
        return false;
    value = qFromLittleEndian<quint16>(data.constData() + at);
    return true;
}

bool ReadU32(const QByteArray &data, qint64 at, quint32 &value)
{
    if (at < 0 || at + 4 > data.size())
        return false;
    value = qFromLittleEndian<quint32>(data.constData() + at);
    return true;
}

QString Decode(const QByteArray &bytes, const QByteArray &codecName)
{
    QTextCodec *codec = QTextCodec::codecForName(codecName);
    if (!codec)
        codec = QTextCodec::codecForName("windows-1252");
    return codec ? codec->toUnicode(bytes) : QString::fromLatin1(bytes);
}

// The zero-terminated string at `offset` of #STRINGS; empty when the offset lies outside or the
// string runs off the end (a cut name would point to the wrong file).
QByteArray StringAt(const QByteArray &strings, quint32 offset)
{
    if (offset == 0 || offset >= quint32(strings.size()))
        return {};
    const int end = strings.indexOf('\0', int(offset));
    if (end < 0)
        return {};
    return strings.mid(int(offset), end - int(offset));
}

void SetIfEmpty(QString &field, const QString &value)
{
    if (field.isEmpty())
        field = value;
}

} // namespace

void ReadWindowsRecord(HelpSystemInfo &info, const QByteArray &windows, const QByteArray &strings,
                       const QByteArray &codecName)
{
    quint32 count = 0, entrySize = 0;
    if (!ReadU32(windows, 0, count) || !ReadU32(windows, 4, entrySize) || count == 0)
        return;
    // The help compilers write entries of 0xBC, 0xC4 or 0x188 bytes; the fields read here all lie
    // in the first 0x70, which every size covers.
    constexpr quint32 kHeader = 8, kNeeded = 0x70;
    if (entrySize < kNeeded || entrySize > quint32(windows.size()) - kHeader)
        return;
    const QByteArray entry = windows.mid(int(kHeader), int(entrySize));
    const auto text = [&](int offset) {
        quint32 at = 0;
        ReadU32(entry, offset, at);
        return Decode(StringAt(strings, at), codecName);
    };
    SetIfEmpty(info.title, text(0x14));
    SetIfEmpty(info.contentsFile, StoredName(text(0x60)));
    SetIfEmpty(info.indexFile, StoredName(text(0x64)));
    SetIfEmpty(info.defaultTopic, StoredName(text(0x68)));
    // The home page stands in for a missing default topic.
    SetIfEmpty(info.defaultTopic, StoredName(text(0x6C)));
}

void ReadSystemRecord(HelpSystemInfo &info, const QByteArray &system, const QByteArray &codecName)
{
    qint64 at = 4; // after the version
    quint16 code = 0, length = 0;
    while (ReadU16(system, at, code) && ReadU16(system, at + 2, length)
           && at + 4 + length <= system.size()) {
        const QByteArray data = system.mid(int(at + 4), length);
        at += 4 + length;
        const int nul = data.indexOf('\0');
        const QString text = Decode(nul >= 0 ? data.left(nul) : data, codecName);
        switch (code) {
        case 0: SetIfEmpty(info.contentsFile, StoredName(text)); break;
        case 1: SetIfEmpty(info.indexFile, StoredName(text)); break;
        case 2: SetIfEmpty(info.defaultTopic, StoredName(text)); break;
        case 3: SetIfEmpty(info.title, text); break;
        case 4: {
            quint32 lcid = 0;
            if (info.lcid == 0 && ReadU32(data, 0, lcid))
                info.lcid = lcid;
            break;
        }
        default: break;
        }
    }
}

quint32 LanguageOfSystemRecord(const QByteArray &system)
{
    HelpSystemInfo info;
    ReadSystemRecord(info, system, "ISO-8859-1");
    return info.lcid;
}

QByteArray CodecNameForLcid(quint32 lcid)
{
    const quint32 primary = lcid & 0x3FF;
    switch (primary) {
    case 0x11: return "Shift_JIS";
    case 0x04:
        // Taiwan, Hong Kong and Macao write traditional characters; the mainland and Singapore
        // simplified ones.
        return (lcid == 0x0404 || lcid == 0x0C04 || lcid == 0x1404) ? "Big5" : "GBK";
    case 0x12: return "windows-949";
    case 0x1E: return "TIS-620";
    case 0x08: return "windows-1253";
    case 0x0D: case 0x3D: return "windows-1255";
    case 0x01: case 0x29: case 0x20: case 0x63: case 0x8C: return "windows-1256";
    case 0x25: case 0x26: case 0x27: return "windows-1257";
    case 0x2A: return "windows-1258";
    case 0x1F: return "windows-1254";
    case 0x05: case 0x15: case 0x0E: case 0x1B: case 0x24: case 0x18: case 0x1C:
        return "windows-1250";
    case 0x19: case 0x22: case 0x23: case 0x02: case 0x2F: case 0x3F: case 0x40: case 0x44:
    case 0x50: case 0x28: case 0x6D: case 0x85:
        return "windows-1251";
    case 0x1A:
        // Croatian and the Latin forms of Serbian and Bosnian; the Cyrillic forms.
        return (lcid == 0x0C1A || lcid == 0x1C1A || lcid == 0x201A) ? "windows-1251"
                                                                    : "windows-1250";
    case 0x2C: case 0x43:
        // Azeri and Uzbek: Latin 0x04xx, Cyrillic 0x08xx.
        return (lcid >> 10) == 2 ? "windows-1251" : "windows-1254";
    default: return "windows-1252";
    }
}

QString StoredName(const QString &name)
{
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (int i = 0; i < path.size(); ++i) {
        if (path.at(i) == QLatin1Char('#') || path.at(i) == QLatin1Char('?')) {
            path.truncate(i);
            break;
        }
    }
    if (path.trimmed().isEmpty())
        return {};
    QStringList parts;
    const auto segments = path.splitRef(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QStringRef &segment : segments) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(segment.toString());
    }
    return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

} // namespace tshelp
