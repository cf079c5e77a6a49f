// Start-up decision of the setup launcher against a scripted system: every supported and refused
// platform, and each way the probe or the process start can fail.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "launchdecision.h"

namespace {

// The texts as shipped, spelt out here so that a change to the program's copies shows.
const std::string k9xText = "This product cannot be installed on Windows 9X (95, 98, 98SE, Millennium";
const std::string kNT4Text = "This product cannot be installed on Windows NT 4";

void *const kKernel32 = reinterpret_cast<void *>(0x7c800000);
void *const kPseudoProcess = reinterpret_cast<void *>(~std::uintptr_t(0));
void *const kProcess = reinterpret_cast<void *>(0x44);
void *const kThread = reinterpret_cast<void *>(0x48);

class FakeSystem;
FakeSystem *g_fake = nullptr;

int TSV80_WINAPI FakeIsWow64Process(void *process, int *wow64);

// Answers like a configured Windows and writes every call into a log.
class FakeSystem final : public tsv80::SystemApi
{
public:
    bool versionOk = true;
    std::uint32_t platformId = tsv80::PlatformWindowsNT;
    std::uint32_t major = 6;
    std::uint32_t minor = 1;
    bool kernel32Present = true;
    bool exportPresent = true;
    bool callSucceeds = true;
    int wow64 = 0;
    bool startSucceeds = true;
    bool scribbleOnCommandLine = false;

    std::vector<std::string> log;
    bool recordWasClean = true;
    bool flagStartedAtZero = true;
    void *probedProcess = nullptr;

    FakeSystem() { g_fake = this; }
    ~FakeSystem() override { g_fake = nullptr; }

    bool ReadVersion(tsv80::VersionRecord &record) override
    {
        log.push_back("ReadVersion");
        tsv80::VersionRecord clean;
        std::memset(&clean, 0, sizeof clean);
        clean.size = 148; // sizeof(OSVERSIONINFOA)
        recordWasClean = std::memcmp(&record, &clean, sizeof clean) == 0;
        if (!versionOk)
            return false;
        record.platformId = platformId;
        record.majorVersion = major;
        record.minorVersion = minor;
        record.buildNumber = 2600;
        std::strcpy(record.csdVersion, "Service Pack 3");
        return true;
    }

    int ShowMessage(void *owner, const char *text, const char *caption, unsigned type) override
    {
        log.push_back("ShowMessage(" + std::string(owner ? "owner" : "null") + ", " + text + ", " +
                      caption + ", " + std::to_string(type) + ")");
        return 1; // IDOK
    }

    void *LoadModule(const char *name) override
    {
        log.push_back("LoadModule(" + std::string(name) + ")");
        return kernel32Present ? kKernel32 : nullptr;
    }

    tsv80::ExportProc FindExport(void *module, const char *name) override
    {
        log.push_back("FindExport(" + std::string(module == kKernel32 ? "kernel32" : "?") + ", " +
                      name + ")");
        if (!exportPresent || std::strcmp(name, "IsWow64Process") != 0)
            return nullptr;
        return reinterpret_cast<tsv80::ExportProc>(&FakeIsWow64Process);
    }

    void UnloadModule(void *module) override
    {
        log.push_back(module == kKernel32 ? "UnloadModule(kernel32)" : "UnloadModule(?)");
    }

    void *CurrentProcess() override
    {
        log.push_back("CurrentProcess");
        return kPseudoProcess;
    }

    bool StartProcess(char *commandLine, tsv80::ProcessHandles &started) override
    {
        log.push_back("StartProcess(" + std::string(commandLine) + ")");
        if (scribbleOnCommandLine)
            commandLine[0] = '\0'; // the system may tokenise the buffer in place
        if (!startSucceeds)
            return false;
        started.process = kProcess;
        started.thread = kThread;
        return true;
    }

    void ReleaseHandle(void *handle) override
    {
        log.push_back(handle == kProcess ? "ReleaseHandle(process)"
                                         : handle == kThread ? "ReleaseHandle(thread)" : "ReleaseHandle(?)");
    }
};

int TSV80_WINAPI FakeIsWow64Process(void *process, int *wow64)
{
    g_fake->log.push_back("IsWow64Process");
    g_fake->probedProcess = process;
    g_fake->flagStartedAtZero = *wow64 == 0;
    if (!g_fake->callSucceeds) {
        *wow64 = 1; // a failed call promises nothing about the flag
        return 0;
    }
    *wow64 = g_fake->wow64;
    return 1;
}

std::string Join(const std::vector<std::string> &calls)
{
    std::string joined;
    for (const std::string &call : calls)
        joined += (joined.empty() ? "" : "; ") + call;
    return joined;
}

const std::string kProbe = "LoadModule(kernel32.dll); FindExport(kernel32, IsWow64Process); "
                           "CurrentProcess; IsWow64Process; UnloadModule(kernel32)";
const std::string kStartX86 = "StartProcess(.\\X86\\setup.exe); ReleaseHandle(process); ReleaseHandle(thread)";
const std::string kStartX64 = "StartProcess(.\\X64\\setup.exe); ReleaseHandle(process); ReleaseHandle(thread)";
const std::string kBox9x = "ShowMessage(null, " + k9xText + ", Tessaro, 0)";
const std::string kBoxNT4 = "ShowMessage(null, " + kNT4Text + ", Tessaro, 0)";

struct Row
{
    const char *name;
    std::uint32_t platformId, major, minor;
    int wow64;
    std::string expected; // the calls, in order, after ReadVersion
};

const Row kRows[] = {
    {"Windows 95", 1, 4, 0, 0, kBox9x},
    {"Windows 98", 1, 4, 10, 0, kBox9x},
    {"Windows Me", 1, 4, 90, 0, kBox9x},
    {"9x platform with any version", 1, 5, 1, 1, kBox9x},
    {"Win32s", 0, 3, 10, 0, ""},
    {"Windows CE", 3, 5, 0, 0, ""},
    {"unknown platform id", 7, 6, 1, 1, ""},
    {"NT 3.51", 2, 3, 51, 0, ""},
    {"NT 4.0", 2, 4, 0, 0, kBoxNT4},
    {"NT 4 with a minor version", 2, 4, 1, 1, kBoxNT4},
    {"Windows 2000 is never probed", 2, 5, 0, 1, kStartX86},
    {"XP 32-bit", 2, 5, 1, 0, kProbe + "; " + kStartX86},
    {"XP x64 (WOW64)", 2, 5, 1, 1, kProbe + "; " + kStartX64},
    {"Server 2003 32-bit", 2, 5, 2, 0, kProbe + "; " + kStartX86},
    {"Server 2003 x64", 2, 5, 2, 1, kProbe + "; " + kStartX64},
    {"Vista 32-bit", 2, 6, 0, 0, kProbe + "; " + kStartX86},
    {"Vista x64", 2, 6, 0, 1, kProbe + "; " + kStartX64},
    {"Windows 7 x64", 2, 6, 1, 1, kProbe + "; " + kStartX64},
    {"Windows 8.1 unmanifested view of 10 (6.2)", 2, 6, 2, 1, kProbe + "; " + kStartX64},
    {"Windows 10 manifested, 32-bit", 2, 10, 0, 0, kProbe + "; " + kStartX86},
    {"Windows 10 manifested, 64-bit", 2, 10, 0, 1, kProbe + "; " + kStartX64},
    {"future NT 12.3, 64-bit", 2, 12, 3, 1, kProbe + "; " + kStartX64},
    {"NT 7.0, 32-bit", 2, 7, 0, 0, kProbe + "; " + kStartX86},
};

TEST(LaunchDecision, EveryPlatformRow)
{
    for (const Row &row : kRows) {
        SCOPED_TRACE(row.name);
        FakeSystem fake;
        fake.platformId = row.platformId;
        fake.major = row.major;
        fake.minor = row.minor;
        fake.wow64 = row.wow64;
        EXPECT_EQ(tsv80::RunLauncher(fake), 0);
        EXPECT_EQ(Join(fake.log), "ReadVersion" + (row.expected.empty() ? "" : "; " + row.expected));
        EXPECT_TRUE(fake.recordWasClean) << "version record must carry only its size";
        if (fake.probedProcess) {
            EXPECT_EQ(fake.probedProcess, kPseudoProcess);
            EXPECT_TRUE(fake.flagStartedAtZero);
        }
    }
}

struct FailureRow
{
    const char *name;
    void (*setUp)(FakeSystem &);
    std::string expected;
};

const FailureRow kFailures[] = {
    {"GetVersionExA fails", [](FakeSystem &f) { f.versionOk = false; }, "ReadVersion"},
    {"kernel32 cannot be loaded", [](FakeSystem &f) { f.kernel32Present = false; },
     "ReadVersion; LoadModule(kernel32.dll); " + kStartX86},
    {"kernel32 lacks IsWow64Process", [](FakeSystem &f) { f.exportPresent = false; },
     "ReadVersion; LoadModule(kernel32.dll); FindExport(kernel32, IsWow64Process); "
     "UnloadModule(kernel32); " + kStartX86},
    {"IsWow64Process fails (and dirties its flag)", [](FakeSystem &f) { f.callSucceeds = false; },
     "ReadVersion; " + kProbe + "; " + kStartX86},
    {"installer cannot be started", [](FakeSystem &f) { f.startSucceeds = false; },
     "ReadVersion; " + kProbe + "; StartProcess(.\\X64\\setup.exe)"},
};

TEST(LaunchDecision, FailuresEndQuietlyWithExitCodeZero)
{
    for (const FailureRow &row : kFailures) {
        SCOPED_TRACE(row.name);
        FakeSystem fake; // XP on a 64-bit system unless the row breaks something
        fake.major = 5;
        fake.minor = 1;
        fake.wow64 = 1;
        row.setUp(fake);
        EXPECT_EQ(tsv80::RunLauncher(fake), 0);
        EXPECT_EQ(Join(fake.log), row.expected);
    }
}

TEST(LaunchDecision, ProbeAnswersOnlyWhatTheSystemSays)
{
    struct {
        const char *name;
        bool kernel32, exportPresent, callOk;
        int flag;
        bool answer;
    } const rows[] = {
        {"WOW64", true, true, true, 1, true},
        {"WOW64, any non-zero flag", true, true, true, -1, true},
        {"native 32-bit", true, true, true, 0, false},
        {"no kernel32", false, true, true, 1, false},
        {"no export", true, false, true, 1, false},
        {"call fails", true, true, false, 1, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FakeSystem fake;
        fake.kernel32Present = row.kernel32;
        fake.exportPresent = row.exportPresent;
        fake.callSucceeds = row.callOk;
        fake.wow64 = row.flag;
        EXPECT_EQ(tsv80::IsWow64Windows(fake), row.answer);
        int loads = 0, unloads = 0;
        for (const std::string &call : fake.log) {
            loads += call.rfind("LoadModule", 0) == 0 && row.kernel32;
            unloads += call.rfind("UnloadModule", 0) == 0;
        }
        EXPECT_EQ(loads, unloads) << "kernel32 must be released exactly once";
    }
}

TEST(LaunchDecision, ShippedTextsAreExact)
{
    EXPECT_EQ(std::strlen(tsv80::Refusal9xText), 72u);
    EXPECT_EQ(tsv80::Refusal9xText, k9xText);
    EXPECT_EQ(tsv80::RefusalNT4Text, kNT4Text);
    EXPECT_STREQ(tsv80::MessageCaption, "Tessaro");
    EXPECT_STREQ(tsv80::X86Installer, ".\\X86\\setup.exe");
    EXPECT_STREQ(tsv80::X64Installer, ".\\X64\\setup.exe");
}

// CreateProcess may write into its command line; handing it the stored text itself would crash on
// read-only data or corrupt the next start.
TEST(LaunchDecision, RegressionCommandLineIsAPrivateCopy)
{
    for (int run = 0; run < 2; ++run) {
        FakeSystem fake;
        fake.major = 5;
        fake.minor = 0;
        fake.scribbleOnCommandLine = true;
        EXPECT_EQ(tsv80::RunLauncher(fake), 0);
        EXPECT_EQ(Join(fake.log), "ReadVersion; " + kStartX86) << "run " << run;
    }
    EXPECT_STREQ(tsv80::X86Installer, ".\\X86\\setup.exe");
}

TEST(LaunchDecision, ClassifyVersionMajorBoundaries)
{
    using tsv80::Verdict;
    struct {
        std::uint32_t platform, major, minor;
        Verdict verdict;
    } const rows[] = {
        {2, 0, 0, Verdict::Quit},         {2, 3, 99, Verdict::Quit},
        {2, 4, 0, Verdict::RefuseNT4},    {2, 4, 99, Verdict::RefuseNT4},
        {2, 5, 0, Verdict::InstallX86},   {2, 5, 1, Verdict::ProbeWow64},
        {2, 6, 0, Verdict::ProbeWow64},   {2, 0xffffffffu, 0, Verdict::ProbeWow64},
        {1, 0, 0, Verdict::Refuse9x},     {0xffffffffu, 6, 1, Verdict::Quit},
    };
    for (const auto &row : rows) {
        tsv80::VersionRecord record;
        std::memset(&record, 0, sizeof record);
        record.platformId = row.platform;
        record.majorVersion = row.major;
        record.minorVersion = row.minor;
        EXPECT_EQ(tsv80::ClassifyVersion(record), row.verdict)
            << "platform " << row.platform << " version " << row.major << "." << row.minor;
    }
}

} // namespace
