// The build's clearing of chmcmd's stamps, run on small files laid out as chmcmd writes them.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kHeader = QByteArray("ITSF\x03\0\0\0\x60\0\0\0\x01\0\0\0", 16) + "STMP" + QByteArray("\x09\x04\0\0", 4);
const QByteArray kSystem = QByteArray("\x03\0\0\0\x0a\0\x04\0", 8) + "stmp" + QByteArray("\x09\0\x16\0", 4) + "HHA Version 4.74.8702";

TEST(ChmStamp, ClearsBothStampsOrRefusesAnUnknownLayout)
{
    const struct { const char *name; QByteArray input; int exitCode; QByteArray output; } rows[] = {
        {"both stamps", kHeader + "pages" + kSystem, 0,
         QByteArray(kHeader).replace("STMP", QByteArray(4, '\0')) + "pages" + QByteArray(kSystem).replace("stmp", QByteArray(4, '\0'))},
        {"not a help file", "ITSX" + kHeader.mid(4) + kSystem, 1, {}},
        {"no #SYSTEM stamp", kHeader + "pages", 1, {}},
        {"two #SYSTEM stamps", kHeader + kSystem + kSystem, 1, {}},
    };
    for (const auto &row : rows) {
        QTemporaryDir dir;
        QFile file(dir.filePath("help.chm"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(row.input);
        file.close();
        QProcess stamp;
        stamp.start(QStringLiteral(TS_CHMSTAMP), {file.fileName()});
        ASSERT_TRUE(stamp.waitForFinished(30000)) << row.name;
        EXPECT_EQ(stamp.exitCode(), row.exitCode) << row.name;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), row.exitCode == 0 ? row.output : row.input) << row.name;
    }
}

} // namespace
