// The few system calls that the setup launcher makes, behind an interface so that the start-up
// decision runs unchanged on Windows (main.cpp) and against a fake in the native tests.
// This header includes no Windows header: it builds with any C++17 compiler.
#pragma once

#include <cstdint>

namespace tsv80 {

// Calling convention of kernel32 exports on 32-bit Windows; elsewhere the default one.
#if defined(_WIN32) && defined(__i386__)
#define TSV80_WINAPI __attribute__((stdcall))
#else
#define TSV80_WINAPI
#endif

/**
 * Byte-for-byte the layout of OSVERSIONINFOA (five 32-bit fields and a 128-byte service-pack
 * text); the Windows side copies it to and from the real record.
 */
struct VersionRecord
{
    std::uint32_t size;
    std::uint32_t majorVersion;
    std::uint32_t minorVersion;
    std::uint32_t buildNumber;
    std::uint32_t platformId;
    char csdVersion[128];
};

/** Handles of a started process, both to be closed by the caller. */
struct ProcessHandles
{
    void *process = nullptr;
    void *thread = nullptr;
};

/** An export as GetProcAddress returns it, in the generic function pointer type that converts to
 *  any other without a warning; cast to its real type before calling. */
typedef void (*ExportProc)();

/** The signature of kernel32's IsWow64Process (HANDLE, PBOOL) -> BOOL. */
typedef int(TSV80_WINAPI *IsWow64ProcessProc)(void *process, int *wow64);

/**
 * The system as the launcher sees it. Each method mirrors one Windows call of the "A" family;
 * handles and modules are opaque pointers.
 */
class SystemApi
{
public:
    virtual ~SystemApi() = default;

    /** GetVersionExA: fills @p record (whose size field the caller set); false when it fails. */
    virtual bool ReadVersion(VersionRecord &record) = 0;
    /** MessageBoxA. */
    virtual int ShowMessage(void *owner, const char *text, const char *caption, unsigned type) = 0;
    /** LoadLibraryA; null when the module cannot be loaded. */
    virtual void *LoadModule(const char *name) = 0;
    /** GetProcAddress; null when the module has no such export. */
    virtual ExportProc FindExport(void *module, const char *name) = 0;
    /** FreeLibrary. */
    virtual void UnloadModule(void *module) = 0;
    /** GetCurrentProcess (a pseudo handle, never closed). */
    virtual void *CurrentProcess() = 0;
    /**
     * CreateProcessA with no application name, @p commandLine (which the system may write to),
     * no security attributes, no handle inheritance, no creation flags, the caller's environment
     * and directory and an empty STARTUPINFOA. False when the process could not be started.
     */
    virtual bool StartProcess(char *commandLine, ProcessHandles &started) = 0;
    /** CloseHandle. */
    virtual void ReleaseHandle(void *handle) = 0;
};

} // namespace tsv80
