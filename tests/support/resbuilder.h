// Writes resource-file bytes for tests: the empty opening entry, then entries as windres lays them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <string>
#include <vector>

namespace tstest {

class ResBuilder
{
public:
    ResBuilder() { Add(0, 0, QByteArray()); }

    // An entry with ordinal type and name.
    ResBuilder &Add(quint16 type, quint16 name, const QByteArray &data, quint16 language = 0x0409)
    {
        return AddRaw(Ordinal(type), Ordinal(name), data, language);
    }
    // An entry whose type is a name (such as "JPEG") and whose name is an ordinal.
    ResBuilder &AddNamedType(const QString &type, quint16 name, const QByteArray &data)
    {
        return AddRaw(Named(type), Ordinal(name), data, 0x0409);
    }
    // A string-table block holding `texts` at positions 0.. (at most 16).
    ResBuilder &AddStringBlock(quint16 block, const std::vector<std::u16string> &texts)
    {
        QByteArray data;
        for (int i = 0; i < 16; ++i) {
            const std::u16string t = i < int(texts.size()) ? texts[size_t(i)] : std::u16string();
            AppendWord(data, quint16(t.size()));
            for (char16_t c : t)
                AppendWord(data, quint16(c));
        }
        return Add(6, block, data);
    }
    // One string at `id`, alone in its block.
    ResBuilder &AddString(quint16 id, const std::u16string &text)
    {
        std::vector<std::u16string> texts(16);
        texts[id & 15] = text;
        return AddStringBlock(quint16((id >> 4) + 1), texts);
    }
    // Appends bytes as they stand (for damaged files).
    ResBuilder &AppendBytes(const QByteArray &bytes)
    {
        m_bytes += bytes;
        return *this;
    }

    const QByteArray &Bytes() const { return m_bytes; }

    static void AppendWord(QByteArray &b, quint16 v)
    {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    }
    static void AppendDword(QByteArray &b, quint32 v)
    {
        AppendWord(b, quint16(v & 0xFFFF));
        AppendWord(b, quint16(v >> 16));
    }
    static QByteArray Ordinal(quint16 id)
    {
        QByteArray b;
        AppendWord(b, 0xFFFF);
        AppendWord(b, id);
        return b;
    }
    static QByteArray Named(const QString &name)
    {
        QByteArray b;
        for (QChar c : name)
            AppendWord(b, c.unicode());
        AppendWord(b, 0);
        return b;
    }
    // One entry: header (sizes, type, name, aligned trailer) then data, padded to 4 bytes.
    static QByteArray Entry(const QByteArray &type, const QByteArray &name, const QByteArray &data,
                            quint16 language)
    {
        QByteArray ids = type + name;
        while ((8 + ids.size()) % 4)
            ids.append('\0');
        QByteArray e;
        AppendDword(e, quint32(data.size()));
        AppendDword(e, quint32(8 + ids.size() + 16));
        e += ids;
        AppendDword(e, 0);          // DataVersion
        AppendWord(e, 0x1030);      // MemoryFlags
        AppendWord(e, language);
        AppendDword(e, 0);          // Version
        AppendDword(e, 0);          // Characteristics
        e += data;
        while (e.size() % 4)
            e.append('\0');
        return e;
    }

private:
    ResBuilder &AddRaw(const QByteArray &type, const QByteArray &name, const QByteArray &data,
                       quint16 language)
    {
        m_bytes += Entry(type, name, data, language);
        return *this;
    }

    QByteArray m_bytes;
};

// A device-independent bitmap (info header, colour table, rows) for tests.
struct DibSpec {
    int width = 2;
    int height = 2;       // negative: top-down
    int bpp = 24;
    quint32 compression = 0;
    std::vector<quint32> palette;    // 0x00RRGGBB
    std::vector<quint32> masks;      // bit fields, written after the header
    QByteArray pixels;               // rows as stored (each padded to 4 bytes by the caller)
    quint32 colorsUsed = 0;
};

inline QByteArray MakeDib(const DibSpec &s)
{
    QByteArray b;
    ResBuilder::AppendDword(b, 40);
    ResBuilder::AppendDword(b, quint32(s.width));
    ResBuilder::AppendDword(b, quint32(s.height));
    ResBuilder::AppendWord(b, 1);
    ResBuilder::AppendWord(b, quint16(s.bpp));
    ResBuilder::AppendDword(b, s.compression);
    ResBuilder::AppendDword(b, quint32(s.pixels.size()));
    ResBuilder::AppendDword(b, 2835);
    ResBuilder::AppendDword(b, 2835);
    ResBuilder::AppendDword(b, s.colorsUsed ? s.colorsUsed : quint32(s.palette.size()));
    ResBuilder::AppendDword(b, 0);
    for (quint32 m : s.masks)
        ResBuilder::AppendDword(b, m);
    for (quint32 c : s.palette) {
        b.append(char(c & 0xFF));
        b.append(char((c >> 8) & 0xFF));
        b.append(char((c >> 16) & 0xFF));
        b.append('\0');
    }
    return b + s.pixels;
}

} // namespace tstest
