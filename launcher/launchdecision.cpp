#include "launchdecision.h"

#include <cstring>

namespace tsv80 {

const char *const MessageCaption = "Tessaro";
const char *const Refusal9xText = "This product cannot be installed on Windows 9X (95, 98, 98SE, Millennium";
const char *const RefusalNT4Text = "This product cannot be installed on Windows NT 4";
const char *const X86Installer = ".\\X86\\setup.exe";
const char *const X64Installer = ".\\X64\\setup.exe";

Verdict ClassifyVersion(const VersionRecord &record)
{
    if (record.platformId == PlatformWindows9x)
        return Verdict::Refuse9x;
    if (record.platformId != PlatformWindowsNT)
        return Verdict::Quit;
    if (record.majorVersion < 4)
        return Verdict::Quit;
    if (record.majorVersion == 4)
        return Verdict::RefuseNT4;
    if (record.majorVersion == 5 && record.minorVersion == 0)
        return Verdict::InstallX86;
    return Verdict::ProbeWow64;
}

bool IsWow64Windows(SystemApi &api)
{
    void *kernel32 = api.LoadModule("kernel32.dll");
    if (!kernel32)
        return false;
    const ExportProc found = api.FindExport(kernel32, "IsWow64Process");
    if (!found) {
        api.UnloadModule(kernel32);
        return false;
    }
    // Older kernel32 builds lack the export, so it is never imported statically.
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessProc>(found);
    int wow64 = 0;
    const bool called = isWow64Process(api.CurrentProcess(), &wow64) != 0;
    api.UnloadModule(kernel32);
    return called && wow64 != 0;
}

namespace {

void StartInstaller(SystemApi &api, const char *commandLine)
{
    // CreateProcess may write into its command line, so it gets a private copy of the text.
    char buffer[32];
    const std::size_t length = std::strlen(commandLine);
    if (length >= sizeof buffer)
        return;
    std::memcpy(buffer, commandLine, length + 1);
    ProcessHandles started;
    if (!api.StartProcess(buffer, started))
        return;
    if (started.process)
        api.ReleaseHandle(started.process);
    if (started.thread)
        api.ReleaseHandle(started.thread);
}

} // namespace

int RunLauncher(SystemApi &api)
{
    VersionRecord record;
    std::memset(&record, 0, sizeof record);
    record.size = sizeof record;
    if (!api.ReadVersion(record))
        return 0;

    switch (ClassifyVersion(record)) {
    case Verdict::Quit:
        return 0;
    case Verdict::Refuse9x:
        api.ShowMessage(nullptr, Refusal9xText, MessageCaption, MessageBoxOk);
        return 0;
    case Verdict::RefuseNT4:
        api.ShowMessage(nullptr, RefusalNT4Text, MessageCaption, MessageBoxOk);
        return 0;
    case Verdict::InstallX86:
        StartInstaller(api, X86Installer);
        return 0;
    case Verdict::ProbeWow64:
        StartInstaller(api, IsWow64Windows(api) ? X64Installer : X86Installer);
        return 0;
    }
    return 0;
}

} // namespace tsv80
