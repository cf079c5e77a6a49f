// File attributes over a folder of the test, with paths written the Windows way.
#include "tswin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

std::u16string U16(const QString &text)
{
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
}

TEST(GetFileAttributesW, FilesFoldersAndBackslashes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("help/local")));
    for (const char *name : {"help/TsHelpEN.chm", "help/read only.chm"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(dir.filePath(QStringLiteral("help/read only.chm")), QFile::ReadOwner);
    const bool root = ::geteuid() == 0; // root may write anything: nothing reads as read-only
    const QString base = dir.path();
    struct Row {
        const char *relative;
        DWORD expected;
        DWORD error; // last error on failure
    };
    const Row rows[] = {
        {"/help/TsHelpEN.chm", FILE_ATTRIBUTE_NORMAL, 0},
        {"\\help\\TsHelpEN.chm", FILE_ATTRIBUTE_NORMAL, 0},
        {"/help\\TsHelpEN.chm", FILE_ATTRIBUTE_NORMAL, 0},
        {"\\help\\local", FILE_ATTRIBUTE_DIRECTORY, 0},
        {"\\help\\local\\", FILE_ATTRIBUTE_DIRECTORY, 0},
        {"\\help\\read only.chm", root ? DWORD(FILE_ATTRIBUTE_NORMAL) : DWORD(FILE_ATTRIBUTE_READONLY), 0},
        {"\\help\\TsHelpGM.chm", INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
        {"\\nothere\\TsHelpEN.chm", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
        {"\\help\\TsHelpEN.chm\\x", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
    };
    for (const Row &row : rows) {
        const std::u16string path = U16(base + QString::fromLatin1(row.relative));
        EXPECT_EQ(GetFileAttributesW(path.c_str()), row.expected) << row.relative;
        if (row.expected == INVALID_FILE_ATTRIBUTES) {
            EXPECT_EQ(GetLastError(), row.error) << row.relative;
        }
    }
}

TEST(GetFileAttributesW, NullAndEmptyFail)
{
    EXPECT_EQ(GetFileAttributesW(nullptr), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetFileAttributesW(u""), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

} // namespace
