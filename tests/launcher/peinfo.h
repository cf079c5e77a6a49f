// What the MinGW objdump reports about a cross-built Windows program: the headers, the imports and
// the resources with their bytes. The tests read the program through binutils, not a reader of
// their own.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

namespace tstest {

struct PeInfo
{
    struct Resource
    {
        std::uint32_t type = 0, id = 0, language = 0;
        QByteArray data;
    };

    QString format;                          // "pei-i386" for a 32-bit program
    std::uint16_t magic = 0;                 // 0x10b PE32, 0x20b PE32+
    std::uint16_t subsystem = 0;             // 2 Windows GUI
    std::uint32_t characteristics = 0;       // the file header's flags
    std::map<QString, QStringList> imports;  // DLL name in lower case -> imported names
    std::vector<Resource> resources;         // resources with numeric type and id
};

// Runs `objdump -p` and `objdump -s -j .rsrc` on `exe`. False, with the reason in `error`, when
// objdump fails or its report lacks a header field or a resource's bytes.
bool ReadPeInfo(const QString &objdump, const QString &exe, PeInfo &info, QString &error);

} // namespace tstest
