// The system records of a compiled help file: #SYSTEM, #WINDOWS with its #STRINGS. The readers take
// the records' bytes (untrusted) and never read outside them.
#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace tshelp {

struct HelpSystemInfo
{
    QString title;
    QString defaultTopic;  // "/index.htm": stored-name form, leading "/"
    QString contentsFile;  // "/toc.hhc"
    QString indexFile;     // "/index.hhk"
    quint32 lcid = 0;      // 0 when the file names no language
};

// Fills the fields that #WINDOWS names (its first window: title, contents, index, default topic,
// else the home page, each an offset into #STRINGS). Fields already set are kept; file names come in
// stored-name form (StoredName). A damaged record adds nothing; a string outside #STRINGS or without
// its terminating zero leaves its field empty. Entries of any size from 0x70 bytes are read (the
// compilers write 0xBC, 0xC4 or 0x188).
void ReadWindowsRecord(HelpSystemInfo &info, const QByteArray &windows, const QByteArray &strings,
                       const QByteArray &codecName);

// Fills the fields that #SYSTEM names and that are still empty (codes 0 contents, 1 index,
// 2 default topic, 3 title, 4 language), file names in stored-name form. A damaged or truncated
// record stops at the last whole entry.
void ReadSystemRecord(HelpSystemInfo &info, const QByteArray &system, const QByteArray &codecName);

// The language id from #SYSTEM alone (code 4), 0 when absent; needed first to decode the texts.
quint32 LanguageOfSystemRecord(const QByteArray &system);

// The name of the Windows code page's codec for a language id: "Shift_JIS" for Japanese,
// "windows-1252" for Western European languages, and so on; "windows-1252" when unknown.
QByteArray CodecNameForLcid(quint32 lcid);

// A topic or file name as a stored name: backslashes read as "/", "." and ".." resolved, a leading
// "/" added, any "#fragment" or "?query" removed. Empty for an empty name.
QString StoredName(const QString &name);

} // namespace tshelp
