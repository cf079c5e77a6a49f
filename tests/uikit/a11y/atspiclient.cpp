#include "atspiclient.h"

#include <atspi/atspi.h>
#include <chrono>
#include <thread>

namespace atspitest {

namespace {

std::vector<BusEvent> g_events;
int g_pid = 0;

std::string Take(gchar *text)
{
    std::string value = text ? text : "";
    g_free(text);
    return value;
}

std::string Name(AtspiAccessible *object)
{
    return object ? Take(atspi_accessible_get_name(object, nullptr)) : std::string();
}

std::string Nick(GType type, int value)
{
    GEnumClass *klass = static_cast<GEnumClass *>(g_type_class_ref(type));
    const GEnumValue *entry = g_enum_get_value(klass, value);
    std::string nick = entry ? entry->value_nick : "?";
    g_type_class_unref(klass);
    return nick;
}

void OnEvent(const AtspiEvent *event)
{
    if (!event->source || atspi_accessible_get_process_id(event->source, nullptr) != guint(g_pid))
        return;
    BusEvent recorded;
    recorded.type = event->type ? event->type : "";
    recorded.detail1 = event->detail1;
    recorded.sourceName = Name(event->source);
    recorded.sourceRole = Take(atspi_accessible_get_role_name(event->source, nullptr));
    for (AtspiAccessible *up = atspi_accessible_get_parent(event->source, nullptr); up;) {
        const std::string name = Name(up);
        if (!name.empty() && atspi_accessible_get_role(up, nullptr) != ATSPI_ROLE_APPLICATION)
            recorded.ancestors += (recorded.ancestors.empty() ? "" : "/") + name;
        AtspiAccessible *next = atspi_accessible_get_parent(up, nullptr);
        if (atspi_accessible_get_role(up, nullptr) == ATSPI_ROLE_APPLICATION) {
            g_clear_object(&next);
        }
        g_object_unref(up);
        up = next;
    }
    g_events.push_back(recorded);
}

void Walk(AtspiAccessible *object, int parent, int depth, std::vector<BusNode> *nodes)
{
    const int count = atspi_accessible_get_child_count(object, nullptr);
    for (int i = 0; i < count && nodes->size() < 3000; ++i) {
        AtspiAccessible *child = atspi_accessible_get_child_at_index(object, i, nullptr);
        if (!child)
            continue;
        BusNode node;
        node.name = Name(child);
        node.role = Take(atspi_accessible_get_role_name(child, nullptr));
        node.description = Take(atspi_accessible_get_description(child, nullptr));
        node.parent = parent;
        if (AtspiStateSet *set = atspi_accessible_get_state_set(child)) {
            GArray *states = atspi_state_set_get_states(set);
            for (guint s = 0; states && s < states->len; ++s)
                node.states.insert(Nick(ATSPI_TYPE_STATE_TYPE, g_array_index(states, int, s)));
            if (states)
                g_array_free(states, TRUE);
            g_object_unref(set);
        }
        if (GArray *relations = atspi_accessible_get_relation_set(child, nullptr)) {
            for (guint r = 0; r < relations->len; ++r) {
                AtspiRelation *relation = g_array_index(relations, AtspiRelation *, r);
                const std::string type =
                    Nick(ATSPI_TYPE_RELATION_TYPE, atspi_relation_get_relation_type(relation));
                for (int t = 0; t < atspi_relation_get_n_targets(relation); ++t) {
                    AtspiAccessible *target = atspi_relation_get_target(relation, t);
                    node.relations.emplace_back(type, Name(target));
                    g_clear_object(&target);
                }
                g_object_unref(relation);
            }
            g_array_free(relations, TRUE);
        }
        nodes->push_back(node);
        if (depth < 40)
            Walk(child, int(nodes->size()) - 1, depth + 1, nodes);
        g_object_unref(child);
    }
}

} // namespace

bool BusClient::Connect(std::string *error)
{
    if (atspi_init() < 0) {
        *error = "atspi_init failed";
        return false;
    }
    AtspiEventListener *listener = atspi_event_listener_new_simple(OnEvent, nullptr);
    for (const char *type : {"focus:", "object:state-changed", "object:property-change",
                             "object:selection-changed", "object:active-descendant-changed",
                             "object:children-changed", "window:activate"}) {
        GError *failure = nullptr;
        if (!atspi_event_listener_register(listener, type, &failure)) {
            *error = std::string("cannot listen to ") + type + ": "
                     + (failure ? failure->message : "?");
            g_clear_error(&failure);
            return false;
        }
    }
    return true;
}

bool BusClient::FindApplication(int pid, int timeoutMs)
{
    g_pid = m_pid = pid;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        AtspiAccessible *desktop = atspi_get_desktop(0);
        const int count = atspi_accessible_get_child_count(desktop, nullptr);
        for (int i = 0; i < count && !m_app; ++i) {
            AtspiAccessible *app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
            if (app && atspi_accessible_get_process_id(app, nullptr) == guint(pid)) {
                atspi_accessible_set_cache_mask(app, ATSPI_CACHE_NONE);
                m_app = app;
            } else if (app) {
                g_object_unref(app);
            }
        }
        g_object_unref(desktop);
        if (m_app)
            return true;
        Pump(100);
    }
    return false;
}

std::vector<BusNode> BusClient::Walk() const
{
    std::vector<BusNode> nodes;
    if (m_app) {
        atspi_accessible_clear_cache(static_cast<AtspiAccessible *>(m_app));
        atspitest::Walk(static_cast<AtspiAccessible *>(m_app), -1, 0, &nodes);
    }
    return nodes;
}

void BusClient::Pump(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void BusClient::PumpUntilQuiet(int minMs, int quietMs, int maxMs)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto lastEvent = start;
    size_t seen = g_events.size();
    for (;;) {
        Pump(50);
        const auto now = Clock::now();
        if (g_events.size() != seen) {
            seen = g_events.size();
            lastEvent = now;
        }
        const auto since = [&](Clock::time_point t) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(now - t).count();
        };
        if (since(start) >= maxMs || (since(start) >= minMs && since(lastEvent) >= quietMs))
            return;
    }
}

std::vector<BusEvent> BusClient::TakeEvents()
{
    std::vector<BusEvent> events;
    events.swap(g_events);
    return events;
}

void BusClient::Disconnect()
{
    if (m_app)
        g_object_unref(static_cast<AtspiAccessible *>(m_app));
    m_app = nullptr;
    g_events.clear();
}

} // namespace atspitest
