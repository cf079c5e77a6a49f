// A screen reader's view of one application over the accessibility bus (libatspi), kept free of
// Qt and glib types so that the test can include it beside Qt.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace atspitest {

// One accessible object as the bus reports it.
struct BusNode
{
    std::string name;
    std::string role;        // the bus's role name: "push button", "table cell", ...
    std::string description;
    std::set<std::string> states;                                   // "focusable", "checked", ...
    std::vector<std::pair<std::string, std::string>> relations;     // ("labelled-by", target name)
    int parent = -1;         // index of the parent in the walk, -1 for the application
};

// One event from the application: "focus:", "object:state-changed:selected", ...
struct BusEvent
{
    std::string type;
    int detail1 = 0;
    std::string sourceName;
    std::string sourceRole;
    std::string ancestors;   // names of the source's named ancestors, innermost first, '/'-joined
};

class BusClient
{
public:
    // Connects to the accessibility bus of the session in DBUS_SESSION_BUS_ADDRESS and listens to
    // the events a screen reader listens to. False when the bus cannot be reached.
    bool Connect(std::string *error);
    // Waits up to `timeoutMs` for an application of process `pid` to appear on the desktop.
    bool FindApplication(int pid, int timeoutMs);
    // Depth-first walk of the application's tree (the application itself is not listed).
    std::vector<BusNode> Walk() const;
    // Runs the event loop for `ms` milliseconds, recording the application's events.
    void Pump(int ms);
    // Runs the event loop until no event came for `quietMs` (at least `minMs`, at most `maxMs`).
    void PumpUntilQuiet(int minMs, int quietMs, int maxMs);
    // Events recorded since the last call.
    std::vector<BusEvent> TakeEvents();
    void Disconnect();

private:
    void *m_app = nullptr;   // AtspiAccessible *
    int m_pid = 0;
};

} // namespace atspitest
