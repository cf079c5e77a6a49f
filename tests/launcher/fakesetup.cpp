// Stand-in installer for the Wine runs of the launcher. Appends one line to the file named by
// TSV80_MARKER: "<own path>|<working directory>", or with /version on its command line
// "version <major>.<minor> platform <id>" as GetVersionExA reports it to this program.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

bool Append(const char *markerPath, const char *line)
{
    HANDLE file = CreateFileA(markerPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const DWORD length = DWORD(std::strlen(line));
    const bool ok = WriteFile(file, line, length, &written, nullptr) && written == length;
    CloseHandle(file);
    return ok;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char marker[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("TSV80_MARKER", marker, sizeof marker);
    if (n == 0 || n >= sizeof marker)
        return 1;
    char line[3 * MAX_PATH];
    if (commandLine && std::strstr(commandLine, "/version")) {
        OSVERSIONINFOA info;
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info))
            return 2;
        std::snprintf(line, sizeof line, "version %lu.%lu platform %lu\n", info.dwMajorVersion,
                      info.dwMinorVersion, info.dwPlatformId);
    } else {
        char self[MAX_PATH], directory[MAX_PATH];
        const DWORD selfLength = GetModuleFileNameA(nullptr, self, sizeof self);
        const DWORD dirLength = GetCurrentDirectoryA(sizeof directory, directory);
        if (selfLength == 0 || selfLength >= sizeof self || dirLength == 0 || dirLength >= sizeof directory)
            return 3;
        std::snprintf(line, sizeof line, "%s|%s\n", self, directory);
    }
    return Append(marker, line) ? 0 : 4;
}
