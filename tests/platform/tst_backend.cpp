// Back-ends loaded on first use: what the loader answers for bad names, missing and repaired
// folders, unknown entry points and look-ups that must not load; the shared OpenGL context that the
// web engine's back-ends make before they load the engine.
#include "testenv.h"
#include "tsw/backend.h"
#include "tsw/sharedgl.h"

#include <QDir>
#include <QFile>
#include <QOpenGLContext>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tstest::ScopedEnv;

namespace {

// A small real back-end, copied into the test's folders.
const char kBackEnd[] = "TsInternet";
const char kEntry[] = "TswOpenUrl";

QString RealBackEnd()
{
    return QDir(QString::fromLocal8Bit(TS_BACKEND_FOLDER)).filePath(QStringLiteral("libTsInternet.so"));
}

TEST(BackEnd, BadArgumentsLoadNothing)
{
    const struct {
        const char *name;
        const char *symbol;
    } rows[] = {{nullptr, kEntry}, {"", kEntry}, {kBackEnd, nullptr}};
    for (const auto &row : rows) {
        EXPECT_EQ(TswBackEndSymbol(row.name, row.symbol), nullptr);
        EXPECT_EQ(TswBackEndSymbol(row.name, row.symbol, false), nullptr);
    }
    EXPECT_FALSE(TswBackEndLoaded(nullptr));
    EXPECT_FALSE(TswBackEndLoaded(""));
    EXPECT_FALSE(TswBackEndLoaded(kBackEnd));
}

TEST(BackEnd, MissingThenRepairedFolder)
{
    QTemporaryDir folder;
    ScopedEnv dir("TSW_BACKEND_DIR", QFile::encodeName(folder.path()).constData());
    EXPECT_EQ(TswBackEndSymbol(kBackEnd, kEntry), nullptr);
    EXPECT_FALSE(TswBackEndLoaded(kBackEnd));
    // A failure is not remembered: the back-end put in place afterwards is loaded by the next call.
    ASSERT_TRUE(QFile::copy(RealBackEnd(), folder.filePath(QStringLiteral("libTsInternet.so"))));
    EXPECT_NE(TswBackEndSymbol(kBackEnd, kEntry), nullptr);
    EXPECT_TRUE(TswBackEndLoaded(kBackEnd));
}

TEST(BackEnd, LookUpWithoutLoadingAndUnknownEntryPoints)
{
    // The folder beside the platform library, as installed.
    EXPECT_EQ(TswBackEndSymbol(kBackEnd, kEntry, false), nullptr);
    EXPECT_FALSE(TswBackEndLoaded(kBackEnd));
    void *const entry = TswBackEndSymbol(kBackEnd, kEntry);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(TswBackEndLoaded(kBackEnd));
    // Loaded once: every later look-up finds the same entry, also without loading.
    EXPECT_EQ(TswBackEndSymbol(kBackEnd, kEntry), entry);
    EXPECT_EQ(TswBackEndSymbol(kBackEnd, kEntry, false), entry);
    // An entry point the back-end lacks: null, and the back-end stays loaded.
    EXPECT_EQ(TswBackEndSymbol(kBackEnd, "TswNoSuchEntry"), nullptr);
    EXPECT_TRUE(TswBackEndLoaded(kBackEnd));
    // Another folder is another back-end.
    QTemporaryDir empty;
    ScopedEnv dir("TSW_BACKEND_DIR", QFile::encodeName(empty.path()).constData());
    EXPECT_FALSE(TswBackEndLoaded(kBackEnd));
    EXPECT_EQ(TswBackEndSymbol(kBackEnd, kEntry), nullptr);
}

TEST(SharedOpenGL, MadeOnceAndKeptWhenOneExists)
{
    ASSERT_EQ(QOpenGLContext::globalShareContext(), nullptr);
    TswShareOpenGLContexts();
    QOpenGLContext *const made = QOpenGLContext::globalShareContext();
    ASSERT_NE(made, nullptr);
    TswShareOpenGLContexts();
    EXPECT_EQ(QOpenGLContext::globalShareContext(), made);
}

} // namespace
