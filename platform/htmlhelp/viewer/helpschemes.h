// The help pages' address schemes, which the web engine must know before it starts.
#pragma once

namespace tshelp {

// The schemes of links between help files: "ms-its", "its", "mk"; null-terminated.
const char *const *HelpLinkSchemes();

// Registers the help scheme ("tshelp") and the link schemes with the web engine, once per process
// whichever back-end calls first. The engine reads its schemes when it starts (its first profile or
// page), not when the application object is made, so a back-end loaded before it starts registers
// them in time. Returns false when the engine had already started without them (another web view
// of the process came first): help pages then lack what they need, and are not shown.
bool RegisterHelpSchemes();

} // namespace tshelp
