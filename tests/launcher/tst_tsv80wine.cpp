// End-to-end runs of the launcher under Wine: the x86-64 build of the same source, in one
// throw-away 64-bit prefix, with the emulated Windows version set per case. What the launcher
// called is read from Wine's relay trace (no display needed); one run shows the real box under
// Xvfb and dismisses it with the keyboard.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

const QString kWine = QStringLiteral("/usr/lib/wine/wine64");
const QString kWineServer = QStringLiteral("/usr/lib/wine/wineserver");
const QString kRelayInclude = QStringLiteral(
    "user32.MessageBoxA;kernel32.GetVersionExA;kernel32.CreateProcessA;kernel32.LoadLibraryA;"
    "kernel32.GetProcAddress;kernel32.FreeLibrary;kernel32.IsWow64Process");
const char k9xText[] = "This product cannot be installed on Windows 9X (95, 98, 98SE, Millennium";
const char kNT4Text[] = "This product cannot be installed on Windows NT 4";

QString WindowsPath(const QString &unixPath)
{
    return QStringLiteral("Z:") + QString(unixPath).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

struct Finished
{
    bool ok = false; // started and ended in time
    int exitCode = -1;
    QString error;
};

// The prefix and the folders that every case shares; made once for the whole suite.
class WineWorld : public ::testing::Environment
{
public:
    static WineWorld *instance;

    bool available = false;
    std::string setupError;
    std::unique_ptr<QTemporaryDir> root;
    QString launcher, manifestedLauncher, fakeSetup, versionProbe;

    QString Path(const QString &relative) const { return root->filePath(relative); }

    QProcessEnvironment Environment(const QString &display = QString()) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("HOME"), Path(QStringLiteral("home")));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        env.insert(QStringLiteral("WINEPREFIX"), Path(QStringLiteral("prefix")));
        env.insert(QStringLiteral("WINEARCH"), QStringLiteral("win64"));
        env.insert(QStringLiteral("WINESERVER"), kWineServer);
        env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
        // No runtime or browser engine downloads into the prefix.
        env.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
        return env;
    }

    Finished Run(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                 const QString &workingDirectory = QString(), const QString &stderrFile = QString(),
                 int timeoutMs = 60000) const
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(workingDirectory.isEmpty() ? root->path() : workingDirectory);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(stderrFile.isEmpty() ? QProcess::nullDevice() : stderrFile);
        process.start(program, args);
        Finished result;
        if (!process.waitForStarted(10000)) {
            result.error = process.errorString();
            return result;
        }
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished(5000);
            result.error = QStringLiteral("timed out");
            return result;
        }
        result.ok = process.exitStatus() == QProcess::NormalExit;
        result.exitCode = process.exitCode();
        if (!result.ok)
            result.error = QStringLiteral("crashed");
        return result;
    }

    bool SetVersion(const QString &version, const QProcessEnvironment &env) const
    {
        const Finished r = Run(kWine, {QStringLiteral("reg"), QStringLiteral("add"),
                                       QStringLiteral("HKCU\\Software\\Wine"), QStringLiteral("/v"),
                                       QStringLiteral("Version"), QStringLiteral("/d"), version,
                                       QStringLiteral("/f")},
                               env);
        return r.ok && r.exitCode == 0;
    }

    void StopServer() const
    {
        if (available && root)
            Run(kWineServer, {QStringLiteral("-k")}, Environment(), QString(), QString(), 30000);
        // -k returns before the server is gone; -w waits for that.
        if (available && root)
            Run(kWineServer, {QStringLiteral("-w")}, Environment(), QString(), QString(), 30000);
    }

    void SetUp() override
    {
        instance = this;
        available = QFileInfo(kWine).isExecutable() && QFileInfo(kWineServer).isExecutable();
        if (!available)
            return;
        launcher = qEnvironmentVariable("TSV80_X64_EXE");
        manifestedLauncher = qEnvironmentVariable("TSV80_WIN10_EXE");
        fakeSetup = qEnvironmentVariable("TSV80_FAKE_SETUP");
        versionProbe = qEnvironmentVariable("TSV80_VERSION_PROBE");
        for (const QString &exe : {launcher, manifestedLauncher, fakeSetup, versionProbe}) {
            if (exe.isEmpty() || !QFileInfo::exists(exe)) {
                setupError = "test program missing: " + exe.toStdString();
                return;
            }
        }
        root = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tsv80-wine-XXXXXX"));
        if (!root->isValid()) {
            setupError = "cannot make a temporary folder";
            return;
        }
        QDir dir(root->path());
        for (const char *sub : {"home", "empty", "media/X86", "media/X64", "x86only/X86", "x64only/X64"})
            dir.mkpath(QLatin1String(sub));
        for (const char *installer : {"media/X86", "media/X64", "x86only/X86", "x64only/X64"})
            QFile::copy(fakeSetup, Path(QLatin1String(installer) + QStringLiteral("/setup.exe")));

        const Finished boot = Run(kWine, {QStringLiteral("wineboot"), QStringLiteral("--init")},
                                  Environment(), QString(), Path(QStringLiteral("wineboot.log")), 300000);
        if (!boot.ok || boot.exitCode != 0) {
            setupError = "wineboot failed (" + boot.error.toStdString() + "): " +
                         ReadText(Path(QStringLiteral("wineboot.log"))).toStdString();
            return;
        }
        const Finished relay = Run(kWine, {QStringLiteral("reg"), QStringLiteral("add"),
                                           QStringLiteral("HKCU\\Software\\Wine\\Debug"), QStringLiteral("/v"),
                                           QStringLiteral("RelayInclude"), QStringLiteral("/d"), kRelayInclude,
                                           QStringLiteral("/f")},
                                   Environment());
        if (!relay.ok || relay.exitCode != 0)
            setupError = "cannot set RelayInclude";
    }

    void TearDown() override
    {
        StopServer();
        root.reset();
        instance = nullptr;
    }
};

WineWorld *WineWorld::instance = nullptr;
::testing::Environment *const g_world = ::testing::AddGlobalTestEnvironment(new WineWorld);

// One relayed call of the launcher's main thread: "Name(args)" and its return value.
struct RelayCall
{
    QString name;
    QString args;
    QString retval;
};

// The calls of the process whose thread first asked for the version, in order.
std::vector<RelayCall> LauncherCalls(const QString &trace)
{
    std::vector<RelayCall> calls;
    const QRegularExpression call(QStringLiteral("^([0-9a-f]+:[0-9a-f]+):Call [A-Za-z0-9_]+\\.(\\w+)\\((.*)\\) ret=[0-9a-f]+$"));
    const QRegularExpression ret(QStringLiteral("^([0-9a-f]+:[0-9a-f]+):Ret  [A-Za-z0-9_]+\\.(\\w+)\\(\\) retval=([0-9a-f]+) ret=[0-9a-f]+$"));
    QString thread;
    for (const QString &line : trace.split(QLatin1Char('\n'))) {
        const auto c = call.match(line);
        if (c.hasMatch()) {
            if (thread.isEmpty() && c.captured(2) == QLatin1String("GetVersionExA"))
                thread = c.captured(1);
            if (!thread.isEmpty() && c.captured(1) == thread)
                calls.push_back({c.captured(2), c.captured(3), QString()});
            continue;
        }
        const auto r = ret.match(line);
        if (r.hasMatch() && !thread.isEmpty() && r.captured(1) == thread) {
            for (auto it = calls.rbegin(); it != calls.rend(); ++it)
                if (it->name == r.captured(2) && it->retval.isEmpty()) {
                    it->retval = r.captured(3);
                    break;
                }
        }
    }
    return calls;
}

// Quoted strings of a relayed argument list, unescaped.
QStringList QuotedArgs(const QString &args)
{
    QStringList out;
    const QRegularExpression quoted(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    auto it = quoted.globalMatch(args);
    while (it.hasNext()) {
        QString text = it.next().captured(1);
        text.replace(QLatin1String("\\\\"), QLatin1String("\\"));
        text.replace(QLatin1String("\\\""), QLatin1String("\""));
        out << text;
    }
    return out;
}

quint32 Low32(const QString &hex)
{
    return quint32(hex.toULongLong(nullptr, 16) & 0xffffffffu);
}

enum class Build { Plain, Win10Manifest };

struct WineCase
{
    const char *name;
    const char *version;         // HKCU\Software\Wine Version
    Build build;
    const char *folder;          // working directory, under the suite's root
    const char *box;             // expected refusal text, or null
    bool probes;                 // IsWow64Process looked up and called
    const char *command;         // expected CreateProcessA command line, or null
    const char *startedFrom;     // folder of the installer that must have run, or null
};

void PrintTo(const WineCase &c, std::ostream *os) { *os << c.name; }

const WineCase kCases[] = {
    {"Win95_Refused", "win95", Build::Plain, "media", k9xText, false, nullptr, nullptr},
    {"Win98_Refused", "win98", Build::Plain, "media", k9xText, false, nullptr, nullptr},
    {"NT40_Refused", "nt40", Build::Plain, "media", kNT4Text, false, nullptr, nullptr},
    {"NT351_SilentExit", "nt351", Build::Plain, "media", nullptr, false, nullptr, nullptr},
    {"Win31_Win32sSilentExit", "win31", Build::Plain, "media", nullptr, false, nullptr, nullptr},
    {"Win2000_X86WithoutProbe", "win2k", Build::Plain, "media", nullptr, false, ".\\X86\\setup.exe", "media"},
    {"WinXP_ProbedX86", "winxp", Build::Plain, "media", nullptr, true, ".\\X86\\setup.exe", "media"},
    {"Win7_ProbedX86", "win7", Build::Plain, "media", nullptr, true, ".\\X86\\setup.exe", "media"},
    {"Win10_ProbedX86", "win10", Build::Plain, "media", nullptr, true, ".\\X86\\setup.exe", "media"},
    {"Win10Manifested_Reports10_ProbedX86", "win10", Build::Win10Manifest, "media", nullptr, true,
     ".\\X86\\setup.exe", "media"},
    {"Win7_OnlyX86Folder", "win7", Build::Plain, "x86only", nullptr, true, ".\\X86\\setup.exe", "x86only"},
    {"Win7_OnlyX64Folder_NothingStarts", "win7", Build::Plain, "x64only", nullptr, true, ".\\X86\\setup.exe",
     nullptr},
    {"Win7_OtherWorkingDirectory_NothingStarts", "win7", Build::Plain, "empty", nullptr, true,
     ".\\X86\\setup.exe", nullptr},
};

class WineRun : public ::testing::TestWithParam<WineCase>
{
protected:
    void SetUp() override
    {
        world = WineWorld::instance;
        ASSERT_NE(world, nullptr);
        if (!world->available)
            GTEST_SKIP() << "wine64 is not installed at " << kWine.toStdString();
        ASSERT_TRUE(world->setupError.empty()) << world->setupError;
    }
    WineWorld *world = nullptr;
};

TEST_P(WineRun, Case)
{
    const WineCase &c = GetParam();
    const QString tag = QLatin1String(c.name);
    const QString marker = world->Path(tag + QStringLiteral(".marker"));
    const QString trace = world->Path(tag + QStringLiteral(".relay"));
    QProcessEnvironment env = world->Environment();
    ASSERT_TRUE(world->SetVersion(QLatin1String(c.version), env));

    env.insert(QStringLiteral("TSV80_MARKER"), WindowsPath(marker));
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("+pid,+relay"));
    const QString exe = c.build == Build::Plain ? world->launcher : world->manifestedLauncher;
    const Finished run = world->Run(kWine, {exe}, env, world->Path(QLatin1String(c.folder)), trace);
    ASSERT_TRUE(run.ok) << run.error.toStdString();
    EXPECT_EQ(run.exitCode, 0);

    const std::vector<RelayCall> calls = LauncherCalls(ReadText(trace));
    ASSERT_FALSE(calls.empty()) << "no GetVersionExA in the relay trace " << trace.toStdString();
    EXPECT_EQ(calls.front().retval, QStringLiteral("00000001"));

    int boxes = 0, creates = 0, probes = 0;
    for (const RelayCall &call : calls) {
        if (call.name == QLatin1String("MessageBoxA")) {
            ++boxes;
            const QStringList texts = QuotedArgs(call.args);
            ASSERT_EQ(texts.size(), 2) << call.args.toStdString();
            EXPECT_EQ(texts[0].toStdString(), c.box ? c.box : "(no box expected)");
            EXPECT_EQ(texts[1].toStdString(), "Tessaro");
            const QStringList fields = call.args.split(QLatin1Char(','));
            EXPECT_EQ(fields.first().toULongLong(nullptr, 16), 0u) << "owner window";
            EXPECT_EQ(Low32(fields.last()), 0u) << "MB_OK";
        } else if (call.name == QLatin1String("CreateProcessA")) {
            ++creates;
            EXPECT_EQ(QuotedArgs(call.args).value(0).toStdString(), c.command ? c.command : "(no start expected)");
            EXPECT_EQ(call.args.section(QLatin1Char(','), 0, 0).toULongLong(nullptr, 16), 0u)
                << "no application name";
            EXPECT_EQ(Low32(call.retval), c.startedFrom ? 1u : 0u) << "CreateProcessA result";
        } else if (call.name == QLatin1String("IsWow64Process")) {
            ++probes;
            EXPECT_EQ(call.args.section(QLatin1Char(','), 0, 0), QStringLiteral("ffffffffffffffff"))
                << "probes the current process";
        } else if (call.name == QLatin1String("GetProcAddress") &&
                   QuotedArgs(call.args).value(0) == QLatin1String("IsWow64Process")) {
            EXPECT_TRUE(c.probes) << "looked up IsWow64Process";
        }
    }
    EXPECT_EQ(boxes, c.box ? 1 : 0);
    EXPECT_EQ(creates, c.command ? 1 : 0);
    EXPECT_EQ(probes, c.probes ? 1 : 0);

    if (c.startedFrom) {
        // The installer runs on after the launcher has gone: wait for its marker.
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(marker) && clock.elapsed() < 30000)
            QThread::msleep(50);
        QString written;
        while (clock.elapsed() < 30000 && !(written = ReadText(marker)).endsWith(QLatin1Char('\n')))
            QThread::msleep(50);
        const QString folder = WindowsPath(world->Path(QLatin1String(c.startedFrom)));
        EXPECT_EQ(written.toStdString(),
                  (folder + QStringLiteral("\\X86\\setup.exe|") + folder + QLatin1Char('\n')).toStdString());
    } else {
        EXPECT_FALSE(QFileInfo::exists(marker)) << ReadText(marker).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Tsv80, WineRun, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<WineCase> &info) { return std::string(info.param.name); });

class WineSystem : public WineRun
{
};

// The manifested case above only means something if the compatibility entry really lifts the
// reported version from 6.2 to 10.0: check that with a helper built with the same manifest.
TEST_F(WineSystem, CompatibilityManifestReportsWindows10)
{
    QProcessEnvironment env = world->Environment();
    ASSERT_TRUE(world->SetVersion(QStringLiteral("win10"), env));
    const struct {
        QString exe;
        const char *expected;
    } rows[] = {
        {world->fakeSetup, "version 6.2 platform 2\n"},
        {world->versionProbe, "version 10.0 platform 2\n"},
    };
    int n = 0;
    for (const auto &row : rows) {
        const QString marker = world->Path(QStringLiteral("version%1.marker").arg(n++));
        env.insert(QStringLiteral("TSV80_MARKER"), WindowsPath(marker));
        const Finished run = world->Run(kWine, {row.exe, QStringLiteral("/version")}, env);
        ASSERT_TRUE(run.ok) << run.error.toStdString();
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(ReadText(marker).toStdString(), row.expected) << row.exe.toStdString();
    }
}

// The refusal as a user sees it: a real window titled "Tessaro" on a (virtual) display,
// dismissed with Return, after which the launcher ends with code 0.
TEST_F(WineSystem, RefusalBoxOnADisplayIsDismissedWithReturn)
{
    QProcess xvfb;
    xvfb.setProgram(QStringLiteral("Xvfb"));
    xvfb.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp")});
    xvfb.setStandardErrorFile(world->Path(QStringLiteral("xvfb.log")));
    xvfb.start();
    ASSERT_TRUE(xvfb.waitForStarted(10000)) << "Xvfb: " << xvfb.errorString().toStdString();
    QString display;
    QElapsedTimer clock;
    clock.start();
    while (!display.endsWith(QLatin1Char('\n')) && clock.elapsed() < 20000 && xvfb.state() == QProcess::Running) {
        xvfb.waitForReadyRead(500);
        display += QString::fromLatin1(xvfb.readAllStandardOutput());
    }
    ASSERT_TRUE(display.endsWith(QLatin1Char('\n'))) << "Xvfb gave no display number";
    display = QLatin1Char(':') + display.trimmed();

    // Restart the Wine session so that its processes talk to this display, and end it on every
    // way out so that later runs do not inherit a session bound to a vanished display.
    world->StopServer();
    struct SessionGuard
    {
        WineWorld *world;
        ~SessionGuard() { world->StopServer(); }
    } guard{world};
    QProcessEnvironment env = world->Environment(display);
    ASSERT_TRUE(world->SetVersion(QStringLiteral("win98"), env));

    const QString trace = world->Path(QStringLiteral("display.relay"));
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("+pid,+relay"));
    env.insert(QStringLiteral("TSV80_MARKER"), WindowsPath(world->Path(QStringLiteral("display.marker"))));
    QProcess launcher;
    launcher.setProcessEnvironment(env);
    launcher.setWorkingDirectory(world->Path(QStringLiteral("media")));
    launcher.setStandardOutputFile(QProcess::nullDevice());
    launcher.setStandardErrorFile(trace);
    launcher.start(kWine, {world->launcher});
    ASSERT_TRUE(launcher.waitForStarted(10000));

    QProcessEnvironment xenv;
    xenv.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    xenv.insert(QStringLiteral("DISPLAY"), display);
    // Only a mapped window can take the focus; until the box goes, focus it and press Return.
    QString window;
    clock.restart();
    while (clock.elapsed() < 30000 && launcher.state() == QProcess::Running) {
        QProcess search;
        search.setProcessEnvironment(xenv);
        search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                 QStringLiteral("--name"), QStringLiteral("^Tessaro$")});
        search.waitForFinished(10000);
        const QString found =
            QString::fromLatin1(search.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!found.isEmpty()) {
            window = found;
            world->Run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window},
                       xenv, QString(), QString(), 10000);
            world->Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")}, xenv);
        }
        launcher.waitForFinished(500);
    }
    EXPECT_FALSE(window.isEmpty()) << "no window named Tessaro appeared";
    // (waitForFinished answers false for a process that has already ended)
    const bool ended = launcher.state() == QProcess::NotRunning || launcher.waitForFinished(30000);
    if (!ended) {
        launcher.kill();
        launcher.waitForFinished(5000);
    }
    world->StopServer();
    xvfb.terminate();
    if (!xvfb.waitForFinished(10000)) {
        xvfb.kill();
        xvfb.waitForFinished(5000);
    }
    ASSERT_TRUE(ended) << "the launcher did not end after Return";
    EXPECT_EQ(launcher.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(launcher.exitCode(), 0);

    int boxes = 0;
    for (const RelayCall &call : LauncherCalls(ReadText(trace))) {
        if (call.name != QLatin1String("MessageBoxA"))
            continue;
        ++boxes;
        EXPECT_EQ(QuotedArgs(call.args), QStringList({QLatin1String(k9xText), QStringLiteral("Tessaro")}));
        EXPECT_EQ(Low32(call.retval), 1u) << "IDOK from the Return key";
    }
    EXPECT_EQ(boxes, 1);
}

} // namespace
