// Helpers of the registry suites: writing registry files and reading values back.
#pragma once

#include "testenv.h"
#include "tsw/regfile.h"
#include "tswin.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace regtest {

inline const char kHeader[] = "Windows Registry Editor Version 5.00\r\n\r\n";

inline std::vector<BYTE> bytesOf(const std::u16string &text, bool withNul = true)
{
    std::vector<BYTE> out;
    for (char16_t c : text) {
        out.push_back(BYTE(c & 0xFF));
        out.push_back(BYTE(c >> 8));
    }
    if (withNul) {
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

inline std::vector<BYTE> dwordBytes(DWORD v)
{
    return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
}

// Looks a key up below a root of a parsed hive by a backslash-separated path.
inline const tsw::regfile::Key *findKey(const tsw::regfile::Hive &hive, tsw::regfile::Root root,
                                        const std::u16string &path)
{
    const tsw::regfile::Key *key = &hive.roots[root];
    std::size_t start = 0;
    while (key && start <= path.size() && !path.empty()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos)
            end = path.size();
        key = key->FindSubKey(path.data() + start, end - start);
        start = end + 1;
    }
    return key;
}

inline const tsw::regfile::Value *findValue(const tsw::regfile::Hive &hive, const std::u16string &path,
                                            const std::u16string &name)
{
    const tsw::regfile::Key *key = findKey(hive, tsw::regfile::LocalMachine, path);
    return key ? key->FindValue(name.data(), name.size()) : nullptr;
}

inline std::unique_ptr<tsw::regfile::Hive> parse(const QByteArray &bytes)
{
    return tsw::regfile::ParseRegFile(bytes.constData(), std::size_t(bytes.size()));
}

// A registry file in a private folder, named by TS_REGISTRY_FILE while the object lives.
class RegistryFile
{
public:
    explicit RegistryFile(const QByteArray &content, bool withHeader = true)
        : m_path(m_dir.filePath(QStringLiteral("registry.reg")).toStdString()),
          m_env("TS_REGISTRY_FILE", m_path.c_str())
    {
        write(content, withHeader);
    }

    void write(const QByteArray &content, bool withHeader = true)
    {
        QFile f(QString::fromStdString(m_path));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        if (withHeader)
            f.write(kHeader);
        f.write(content);
    }

    const std::string &path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    std::string m_path;
    tstest::ScopedEnv m_env;
};

} // namespace regtest
