// Windows entry of the setup launcher: the real system calls behind SystemApi.
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "launchdecision.h"

namespace {

static_assert(sizeof(OSVERSIONINFOA) == sizeof(tsv80::VersionRecord), "version record layout");
static_assert(offsetof(OSVERSIONINFOA, dwPlatformId) == offsetof(tsv80::VersionRecord, platformId),
              "version record layout");
static_assert(offsetof(OSVERSIONINFOA, szCSDVersion) == offsetof(tsv80::VersionRecord, csdVersion),
              "version record layout");

class WindowsSystem final : public tsv80::SystemApi
{
public:
    bool ReadVersion(tsv80::VersionRecord &record) override
    {
        OSVERSIONINFOA info;
        std::memcpy(&info, &record, sizeof info);
        if (!GetVersionExA(&info))
            return false;
        std::memcpy(&record, &info, sizeof info);
        return true;
    }

    int ShowMessage(void *owner, const char *text, const char *caption, unsigned type) override
    {
        return MessageBoxA(static_cast<HWND>(owner), text, caption, type);
    }

    void *LoadModule(const char *name) override { return LoadLibraryA(name); }

    tsv80::ExportProc FindExport(void *module, const char *name) override
    {
        return reinterpret_cast<tsv80::ExportProc>(GetProcAddress(static_cast<HMODULE>(module), name));
    }

    void UnloadModule(void *module) override { FreeLibrary(static_cast<HMODULE>(module)); }

    void *CurrentProcess() override { return GetCurrentProcess(); }

    bool StartProcess(char *commandLine, tsv80::ProcessHandles &started) override
    {
        STARTUPINFOA startup;
        std::memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info;
        std::memset(&info, 0, sizeof info);
        if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info))
            return false;
        started.process = info.hProcess;
        started.thread = info.hThread;
        return true;
    }

    void ReleaseHandle(void *handle) override { CloseHandle(handle); }
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    WindowsSystem system;
    return tsv80::RunLauncher(system);
}
