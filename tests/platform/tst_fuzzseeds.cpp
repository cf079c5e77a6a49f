// Keeps the fuzzer's seed files in step with the reader: each must load and hold resources.
#include "tswin.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(FuzzSeeds, EverySeedLoads)
{
    const QDir dir(QStringLiteral(TS_FUZZ_SEED_DIR));
    const QStringList seeds = dir.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString &name : seeds) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        HMODULE module = TswLoadResourceModuleFromMemory(bytes.constData(), std::size_t(bytes.size()));
        EXPECT_GT(TswResourceCount(module), 0) << name.toStdString();
        FreeLibrary(module);
    }
}
