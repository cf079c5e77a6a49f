// A network description for the browsing stand-in, written to a file that TS_NETWORK_FILE names
// for the lifetime of the object.
#pragma once

#include "testenv.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace tstest {

class NetworkFile
{
public:
    explicit NetworkFile(const QByteArray &json) { Write(json); }

    // Each description goes to a new file, so the stand-in never mistakes it for a cached one.
    void Write(const QByteArray &json)
    {
        const QString path = m_dir.filePath(QStringLiteral("network%1.json").arg(++m_count));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        file.close();
        m_env.reset();
        m_env = std::make_unique<ScopedEnv>("TS_NETWORK_FILE", QFile::encodeName(path).constData());
    }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
    std::unique_ptr<ScopedEnv> m_env;
};

} // namespace tstest
