// What a screen reader on Linux gets of our widgets: each scene runs in its own program on a
// virtual display, is walked through the real accessibility bus (libatspi) and driven with real
// key presses while the bus's events are recorded. One table holds every expectation; Qt's own
// QCalendarWidget and QToolBox answer the same questions as baselines, and ours must stay ahead.
// TS_ATSPI_DUMP=1 prints each walk and the events of each step.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

#include "atspiclient.h"
#include "bussession.h"
#include "xkeys.h"

namespace {

using atspitest::BusEvent;
using atspitest::BusNode;

enum Check {
    Has,            // an object of that role and name, with the states and relation in `what`
    FocusableNamed, // every showing focusable object has a name
    Heard,          // the step's events hold `what` ("type=detail1") from that object
    FocusOn,        // the step's last focus event names that object; `what`: a named ancestor
};

struct Expectation
{
    const char *scene;
    const char *keys;   // key presses before the check; a new text starts a new step
    Check check;
    const char *role;   // the bus's role name; empty: any
    const char *name;   // exact name; a trailing '*' matches a prefix; empty: any
    const char *what;   // Has: "+state -state label=Name desc=Text"; Heard: "type=detail" or
                        // "type"; FocusOn: a named ancestor
    const char *gap;    // a known gap: why the bus cannot carry it (reported, not passed)
};

// The pairs of a widget of ours and the Qt widget that does the same job.
const std::map<std::string, std::string> Baselines = {{"picker", "qcalendar"},
                                                      {"panel", "qtoolbox"}};

const char *const NoTableEvents =
    "Qt 5.15's bridge drops ActiveDescendantChanged and sends selection-changed only for combo "
    "boxes: a day move reaches the bus as the cells' own selected and focused changes";
const char *const NoCheckable =
    "Qt 5.15's bridge has no toggle-button role and does not forward the checkable state: a panel "
    "header is a push button that is checked while its section is open";
const char *const PartiallyChecked =
    "Qt 5.15's bridge has no state for a partially checked item: a tree item's Qt::PartiallyChecked "
    "reaches the bus as neither checked nor indeterminate";

// clang-format off
// Cells of the date widgets are named by the whole date; after an arrow key the new day is heard
// selected, the old one unselected, and the focus is on the new one.
#define DATE_ROWS(scene, tabIn)                                                                    \
    {scene, "", FocusableNamed, "", "", "", nullptr},                                              \
    {scene, "", Has, "combo box", "", "label=Month", nullptr},                                     \
    {scene, "", Has, "spin button", "Year", "", nullptr},                                          \
    {scene, "", Has, "table", "Days of March 2009", "+focusable", nullptr},                        \
    {scene, "", Has, "table column header", "Sunday", "", nullptr},                                \
    {scene, "", Has, "table cell", "Sunday, 15 March 2009", "+selected +selectable", nullptr},     \
    {scene, tabIn, FocusOn, "table cell", "Sunday, 15 March 2009", "Days of March 2009", nullptr}, \
    {scene, "Right", Heard, "table cell", "Monday, 16 March 2009", "object:state-changed:selected=1", nullptr}, \
    {scene, "Right", Heard, "table cell", "Sunday, 15 March 2009", "object:state-changed:selected=0", nullptr}, \
    {scene, "Right", FocusOn, "table cell", "Monday, 16 March 2009", "", nullptr},                 \
    {scene, "Down", Heard, "table cell", "Monday, 23 March 2009", "object:state-changed:selected=1", nullptr}, \
    {scene, "Down", Heard, "table cell", "Monday, 16 March 2009", "object:state-changed:selected=0", nullptr}, \
    {scene, "Down", FocusOn, "table cell", "Monday, 23 March 2009", "", nullptr}

// A section header of a task panel is a toggle whose checked state is its expanded state: the
// bridge forwards changes of "checked", not of "expanded". Each scene starts on "See also".
#define PANEL_ROWS(scene)                                                                          \
    {scene, "", FocusableNamed, "", "", "", nullptr},                                              \
    {scene, "", Has, "push button", "See also", "+expandable -expanded -checked", nullptr}, \
    {scene, "space", Heard, "push button", "See also", "object:state-changed:checked=1", nullptr}, \
    {scene, "space", Has, "push button", "See also", "+expanded +checked", nullptr},               \
    {scene, "Tab", FocusOn, "push button", "Analyze", "", nullptr},                                \
    {scene, "shift+Tab", FocusOn, "push button", "See also", "", nullptr},                         \
    {scene, "Return", Heard, "push button", "See also", "object:state-changed:checked=0", nullptr}, \
    {scene, "Return", Has, "push button", "See also", "-expanded -checked", nullptr}

const Expectation Table[] = {
    // Date picker (from the month box) and Qt's calendar (from its month button).
    DATE_ROWS("picker", "Tab Tab"),
    {"picker", "Up", Heard, "table", "Days of March 2009", "object:selection-changed", NoTableEvents},
    {"picker", "Up", Heard, "table", "Days of March 2009", "object:active-descendant-changed", NoTableEvents},
    DATE_ROWS("qcalendar", "Tab"),

    // A date table on its own says what it is; its cells say their day.
    {"table", "", FocusableNamed, "", "", "", nullptr},
    {"table", "", Has, "table", "Days", "+focusable", nullptr},
    {"table", "Tab", FocusOn, "table cell", "15", "Days", nullptr},
    {"table", "Right", Heard, "table cell", "16", "object:state-changed:selected=1", nullptr},
    {"table", "Right", Heard, "table cell", "15", "object:state-changed:selected=0", nullptr},
    {"table", "shift+Tab", FocusOn, "text", "Before", "", nullptr},

    // Collapsible panel in its scrolling task area, and Qt's tool box.
    PANEL_ROWS("panel"),
    {"panel", "Return", Has, "push button", "See also", "+checkable", NoCheckable},
    PANEL_ROWS("qtoolbox"),

    // Categories pane.
    {"categories", "", FocusableNamed, "", "", "", nullptr},
    {"categories", "", Has, "", "Categories", "", nullptr},
    {"categories", "", Has, "push button", "Network", "desc=Computers and domains of the network", nullptr},
    {"categories", "Tab", FocusOn, "push button", "Domains", "Categories", nullptr},

    // Wizard: each step is a named page; a step change names the step and puts the focus on a
    // named control of it, or on the default button where the step has none.
    {"wizard", "", FocusableNamed, "", "", "", nullptr},
    {"wizard", "", Has, "", "Start time", "desc=When the first run starts.", nullptr},
    {"wizard", "", Has, "dialog", "Scheduling Wizard: Start time", "", nullptr},
    {"wizard", "space", Heard, "dialog", "Scheduling Wizard: Schedule", "object:property-change:accessible-name=0", nullptr},
    {"wizard", "space", FocusOn, "text", "Every:", "Schedule", nullptr},
    {"wizard", "space", FocusableNamed, "", "", "", nullptr},
    {"wizard", "Return", Heard, "dialog", "Scheduling Wizard: Summary", "object:property-change:accessible-name=0", nullptr},
    {"wizard", "Return", FocusOn, "push button", "Finish", "", nullptr},

    // Property sheet: the pages are named tabs.
    {"sheet", "", FocusableNamed, "", "", "", nullptr},
    {"sheet", "", Has, "page tab", "General", "", nullptr},
    {"sheet", "", Has, "page tab", "Advanced", "", nullptr},
    {"sheet", "", Has, "page tab list", "", "", nullptr},

    // Network view: a named tree whose items say their kind.
    {"network", "", FocusableNamed, "", "", "", nullptr},
    {"network", "", Has, "tree", "Network", "", nullptr},
    {"network", "", Has, "table cell", "Windows Network", "desc=Network", nullptr},
    {"network", "", Has, "table cell", "WORKGROUP", "desc=Domain +expanded", nullptr},
    {"network", "", Has, "table cell", "ALPHA", "desc=Computer", nullptr},
    {"network", "", Has, "table cell", "Directory", "desc=Directory", nullptr},
    {"network", "", Has, "table cell", "Servers", "desc=Directory container", nullptr},
    {"network", "Down", FocusOn, "table cell", "WORKGROUP", "Network", nullptr},

    // Tree widget with check boxes.
    {"tree", "", FocusableNamed, "", "", "", nullptr},
    {"tree", "", Has, "table cell", "C:", "+checked", nullptr},
    {"tree", "", Has, "table cell", "D:", "-checked", nullptr},
    {"tree", "", Has, "table cell", "All volumes", "+indeterminate", PartiallyChecked},
    {"tree", "Down", FocusOn, "table cell", "C:", "", nullptr},
};
// clang-format on

bool NameMatches(const std::string &pattern, const std::string &name)
{
    if (!pattern.empty() && pattern.back() == '*')
        return name.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return pattern.empty() || pattern == name;
}

bool Matches(const Expectation &e, const std::string &role, const std::string &name)
{
    return (!*e.role || role == e.role) && NameMatches(e.name, name);
}

std::vector<std::string> Words(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Whether `node` has the states and relations that `what` asks for; `why` says what is missing.
bool NodeFits(const BusNode &node, std::string what, std::string *why)
{
    // "desc=" takes the text up to the next " +" or " -" (descriptions hold spaces).
    const size_t desc = what.find("desc=");
    if (desc != std::string::npos) {
        size_t end = std::min(what.find(" +", desc), what.find(" -", desc));
        end = std::min(end, what.size());
        const std::string want = what.substr(desc + 5, end - desc - 5);
        if (node.description != want) {
            *why = "described as \"" + node.description + "\"";
            return false;
        }
        what.erase(desc, end - desc);
    }
    for (const std::string &word : Words(what)) {
        if (word[0] == '+' && !node.states.count(word.substr(1))) {
            *why = "lacks state " + word.substr(1);
            return false;
        }
        if (word[0] == '-' && node.states.count(word.substr(1))) {
            *why = "has state " + word.substr(1);
            return false;
        }
        if (word.rfind("label=", 0) == 0) {
            const auto want = std::make_pair(std::string("labelled-by"), word.substr(6));
            if (std::find(node.relations.begin(), node.relations.end(), want)
                == node.relations.end()) {
                *why = "not labelled by " + word.substr(6);
                return false;
            }
        }
    }
    return true;
}

std::string Describe(const BusNode &node)
{
    std::string text = "[" + node.role + "] \"" + node.name + "\"";
    if (!node.description.empty())
        text += " (" + node.description + ")";
    for (const std::string &state : node.states)
        text += " " + state;
    for (const auto &relation : node.relations)
        text += " " + relation.first + "=" + relation.second;
    return text;
}

std::string Describe(const BusEvent &event)
{
    return event.type + "=" + std::to_string(event.detail1) + " [" + event.sourceRole + "] \""
           + event.sourceName + "\" in " + event.ancestors;
}

// Evaluates one expectation; `why` says what the bus showed instead.
bool Evaluate(const Expectation &e, const std::vector<BusNode> &nodes,
              const std::vector<BusEvent> &events, std::string *why)
{
    switch (e.check) {
    case Has: {
        std::string reason = "no such object";
        for (const BusNode &node : nodes)
            if (Matches(e, node.role, node.name) && NodeFits(node, e.what, &reason))
                return true;
        *why = reason;
        return false;
    }
    case FocusableNamed: {
        int focusable = 0;
        for (const BusNode &node : nodes) {
            if (!node.states.count("focusable") || !node.states.count("showing"))
                continue;
            ++focusable;
            if (node.name.empty()) {
                *why = "unnamed: " + Describe(node);
                return false;
            }
        }
        *why = "nothing focusable";
        return focusable > 0;
    }
    case Heard: {
        // "type=detail1", or the type alone.
        const bool withDetail = std::string(e.what).find('=') != std::string::npos;
        for (const BusEvent &event : events)
            if (Matches(e, event.sourceRole, event.sourceName)
                && (withDetail ? event.type + "=" + std::to_string(event.detail1) : event.type)
                       == e.what)
                return true;
        *why = "not heard";
        return false;
    }
    case FocusOn: {
        const BusEvent *last = nullptr;
        for (const BusEvent &event : events)
            if (event.type.rfind("focus:", 0) == 0)
                last = &event;
        if (!last) {
            *why = "no focus event";
            return false;
        }
        const std::string ancestors = "/" + last->ancestors + "/";
        if (Matches(e, last->sourceRole, last->sourceName)
            && (!*e.what || ancestors.find(std::string("/") + e.what + "/") != std::string::npos))
            return true;
        *why = "focus on " + Describe(*last);
        return false;
    }
    }
    return false;
}

struct Tally
{
    int passed = 0;
    int failed = 0;
    int gaps = 0;
};

class AtspiBus : public ::testing::Test
{
protected:
    // Runs one scene's rows in a program of its own; returns the rows' results in `tally`.
    void RunScene(const std::string &scene, bool ours, Tally *tally);

    atspitest::BusSession m_session;
    atspitest::BusClient m_client;
    bool m_dump = qEnvironmentVariableIsSet("TS_ATSPI_DUMP");
};

void AtspiBus::RunScene(const std::string &scene, bool ours, Tally *tally)
{
    QProcessEnvironment env = m_session.Environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    // Should a program still not appear on the desktop, it is started again.
    std::unique_ptr<QProcess> host;
    for (int attempt = 0; attempt < 4 && !host; ++attempt) {
        host.reset(new QProcess);
        host->setProcessEnvironment(env);
        host->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host->start(QStringLiteral(TS_ATSPI_HOST), {QString::fromStdString(scene)});
        ASSERT_TRUE(host->waitForStarted(10000)) << scene;
        while (!host->canReadLine() && host->waitForReadyRead(15000)) {
        }
        ASSERT_EQ(host->readLine().trimmed(), QByteArray("ready")) << scene << " did not get ready";
        if (!m_client.FindApplication(int(host->processId()), 8000)) {
            std::printf("%s did not appear on the bus; starting it again\n", scene.c_str());
            host->kill();
            host->waitForFinished(5000);
            host.reset();
        }
    }
    ASSERT_TRUE(host) << scene << " never appeared on the accessibility bus";
    m_client.PumpUntilQuiet(300, 300, 3000);
    m_client.TakeEvents();

    std::vector<BusNode> nodes = m_client.Walk();
    std::vector<BusEvent> events;
    std::string step;
    auto dump = [&](const std::string &title) {
        if (!m_dump)
            return;
        std::printf("== %s, %s\n", scene.c_str(), title.c_str());
        for (const BusNode &node : nodes) {
            int depth = 0;
            for (int up = node.parent; up >= 0; up = nodes[size_t(up)].parent)
                ++depth;
            std::printf("%*s%s\n", 2 * depth, "", Describe(node).c_str());
        }
        for (const BusEvent &event : events)
            std::printf("  event %s\n", Describe(event).c_str());
    };
    dump("walk");
    for (const Expectation &e : Table) {
        if (scene != e.scene)
            continue;
        if (step != e.keys) {
            step = e.keys;
            ASSERT_TRUE(atspitest::PressKeys(step)) << "keys " << step;
            // Until the program has said all it has to say about the keys (a loaded machine
            // answers late).
            m_client.PumpUntilQuiet(400, 400, 5000);
            events = m_client.TakeEvents();
            nodes = m_client.Walk();
            dump("after " + step);
        }
        std::string why;
        const bool pass = Evaluate(e, nodes, events, &why);
        const std::string row = scene + " | " + (*e.keys ? e.keys : "(walk)") + " | "
                                + e.role + " \"" + e.name + "\" " + e.what;
        if (e.gap) {
            ++tally->gaps;
            std::printf("GAP   %s: %s\n", row.c_str(), e.gap);
            // A gap that closes must move out of the gaps.
            EXPECT_FALSE(pass) << row << " now passes: it is no longer a gap";
        } else if (pass) {
            ++tally->passed;
        } else {
            ++tally->failed;
            std::printf("%s  %s: %s\n", ours ? "FAIL " : "MISS ", row.c_str(), why.c_str());
            if (ours)
                ADD_FAILURE() << row << ": " << why;
        }
    }
    host->closeWriteChannel();
    if (!host->waitForFinished(5000))
        host->kill();
    m_client.Disconnect();
}

TEST_F(AtspiBus, ExpectationTable)
{
    QString why;
    if (!m_session.StartDisplay(&why))
        GTEST_SKIP() << "no X server can start here: " << why.toStdString();
    ASSERT_TRUE(m_session.StartBus(&why)) << why.toStdString();
    const QProcessEnvironment env = m_session.Environment();
    for (const char *name : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
        qputenv(name, env.value(QString::fromLatin1(name)).toLocal8Bit());
    qunsetenv("AT_SPI_BUS_ADDRESS");
    ASSERT_TRUE(atspitest::OpenKeyboard(m_session.Display().toStdString()));
    // Qt 5.15's bridge switches on from the event loop and announces the application to the
    // registry only once: if its connection to the accessibility bus is still being asked for on
    // the session bus then, the application never appears. Read from the root window, the address
    // is there from the start.
    ASSERT_TRUE(atspitest::SetRootProperty(
        "AT_SPI_BUS", m_session.AccessibilityBusAddress().toStdString()));
    std::string error;
    ASSERT_TRUE(m_client.Connect(&error)) << error;

    std::vector<std::string> scenes;
    // TS_ATSPI_SCENES=a,b runs only those scenes (the comparison with Qt's then shows only pairs
    // that ran).
    const QStringList only =
        QString::fromLocal8Bit(qgetenv("TS_ATSPI_SCENES")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const Expectation &e : Table)
        if (std::find(scenes.begin(), scenes.end(), e.scene) == scenes.end()
            && (only.isEmpty() || only.contains(QString::fromLatin1(e.scene))))
            scenes.push_back(e.scene);
    std::map<std::string, Tally> tallies;
    Tally ours;
    for (const std::string &scene : scenes) {
        bool baseline = false;
        for (const auto &pair : Baselines)
            baseline = baseline || pair.second == scene;
        RunScene(scene, !baseline, &tallies[scene]);
        if (!baseline) {
            ours.passed += tallies[scene].passed;
            ours.failed += tallies[scene].failed;
            ours.gaps += tallies[scene].gaps;
        }
    }
    atspitest::CloseKeyboard();

    std::printf("ours: %d of %d expectations met, %d known gaps\n", ours.passed,
                ours.passed + ours.failed, ours.gaps);
    for (const auto &pair : Baselines) {
        if (!tallies.count(pair.first) || !tallies.count(pair.second))
            continue;
        const Tally &mine = tallies[pair.first];
        const Tally &qt = tallies[pair.second];
        std::printf("%s: %d of %d; Qt's %s: %d of %d\n", pair.first.c_str(), mine.passed,
                    mine.passed + mine.failed, pair.second.c_str(), qt.passed,
                    qt.passed + qt.failed);
        EXPECT_GT(mine.passed, qt.passed) << pair.first << " is not ahead of " << pair.second;
    }
    RecordProperty("ours_met", ours.passed);
    RecordProperty("ours_total", ours.passed + ours.failed);
}

} // namespace
