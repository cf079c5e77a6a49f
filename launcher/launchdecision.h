// Start-up decision of the setup launcher: refuse old systems, pick the installer of the running
// Windows' processor and start it without waiting.
#pragma once

#include "systemapi.h"

namespace tsv80 {

/** Platform ids of OSVERSIONINFOA. */
enum : std::uint32_t {
    PlatformWin32s = 0,
    PlatformWindows9x = 1,
    PlatformWindowsNT = 2,
};

/** MessageBoxA style of the refusal boxes. */
constexpr unsigned MessageBoxOk = 0;

/** What the version record alone decides. */
enum class Verdict {
    Quit,            ///< unknown platform or NT 3.x: exit showing nothing
    Refuse9x,        ///< Windows 95/98/Me: refusal box
    RefuseNT4,       ///< Windows NT 4: refusal box
    InstallX86,      ///< Windows 2000: the 32-bit installer without asking about WOW64
    ProbeWow64,      ///< XP and later: the 64-bit installer exactly when running under WOW64
};

/** The caption of both refusal boxes. */
extern const char *const MessageCaption;
/** Refusal text for the Windows 9x family (ends after "Millennium", as shipped). */
extern const char *const Refusal9xText;
/** Refusal text for Windows NT 4. */
extern const char *const RefusalNT4Text;
/** Command lines of the two installers, relative to the current directory. */
extern const char *const X86Installer;
extern const char *const X64Installer;

/**
 * Classifies the running system by platform id and version. NT 5.1 and later, including any
 * major version above 6 (a manifested program sees 10.0, future systems more), probe for WOW64
 * so that a newer Windows still gets its installer; NT below 4 gets nothing.
 */
Verdict ClassifyVersion(const VersionRecord &record);

/**
 * True when this 32-bit process runs under WOW64, asked through kernel32's IsWow64Process looked
 * up at run time. A missing kernel32, a missing export or a failing call all answer false.
 */
bool IsWow64Windows(SystemApi &api);

/**
 * The whole launcher: reads the version, shows a refusal or starts the chosen installer, closes
 * the started process's handles. Reports nothing on failure. Returns the exit code, always 0.
 */
int RunLauncher(SystemApi &api);

} // namespace tsv80
