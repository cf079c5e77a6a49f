#include "jsonreader_p.h"

#include <cstring>
#include <set>
#include <vector>

namespace tsnet {
namespace {

using json = nlohmann::json;

// Builds the tree from the parser's events and refuses, as soon as it sees them, what the parser
// itself accepts: a document that is not an object, repeated names, deep nesting, numbers that
// underflow.
class StrictBuilder
{
public:
    explicit StrictBuilder(json &root) : m_root(root) {}

    const std::string &Why() const { return m_why; }

    bool null() { return Value(nullptr); }
    bool boolean(bool v) { return Value(v); }
    bool number_integer(json::number_integer_t v) { return Value(v); }
    bool number_unsigned(json::number_unsigned_t v) { return Value(v); }
    bool number_float(json::number_float_t v, const json::string_t &text)
    {
        // Overflow is the parser's to refuse; a non-zero mantissa that came out as 0 underflowed.
        if (v == 0 && text.find_first_of("123456789") < text.find_first_of("eE"))
            return Fail("number out of range");
        return Value(v);
    }
    bool string(json::string_t &v) { return Value(std::move(v)); }
    bool binary(json::binary_t &) { return Fail("binary data"); } // JSON text has none

    bool start_object(std::size_t) { return Open(json::object(), true); }
    bool start_array(std::size_t) { return Open(json::array(), false); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(json::string_t &name)
    {
        if (!m_names.back().insert(name).second)
            return Fail("a member name repeats");
        m_member = &(*m_open.back())[name];
        return true;
    }

    bool parse_error(std::size_t position, const std::string &, const nlohmann::detail::exception &e)
    {
        m_where = " at offset " + std::to_string(position);
        if (!m_started)
            m_why = "the description must be a JSON object";
        else if (m_done)
            m_why = "text after the object";
        else if (e.id == 406)
            m_why = "number out of range";
        else
            m_why = Reason(e.what());
        return false;
    }

    // The parser's position for its own refusals; refusals of the builder have none.
    const std::string &Where() const { return m_where; }

private:
    // The parser's message without its prefix and the bytes it last read, which may be anything.
    static std::string Reason(std::string message)
    {
        const std::size_t column = message.find("column ");
        const std::size_t colon = column == std::string::npos ? column : message.find(": ", column);
        if (colon != std::string::npos)
            message.erase(0, colon + 2);
        const std::size_t lastRead = message.find("; last read: ");
        if (lastRead != std::string::npos) {
            const std::size_t expected = message.find("; expected", lastRead);
            message.erase(lastRead, expected == std::string::npos ? std::string::npos : expected - lastRead);
        }
        // The string errors in short words of our own.
        static const char *const kKnown[][2] = {
            {"control character", "control character in a string"},
            {"UTF-8", "invalid UTF-8"},
            {"after backslash", "bad escape"},
            {"\\u", "bad \\u escape"},
            {"surrogate", "bad \\u escape"},
        };
        for (const auto &k : kKnown)
            if (message.find(k[0]) != std::string::npos)
                return k[1];
        return message;
    }

    bool Fail(const char *why)
    {
        m_why = why;
        return false;
    }

    // Places a value where the parser is: the document, the next array element or the member
    // whose name came last.
    json *Place(json &&v)
    {
        if (m_open.empty()) {
            m_root = std::move(v);
            return &m_root;
        }
        if (m_open.back()->is_array()) {
            m_open.back()->push_back(std::move(v));
            return &m_open.back()->back();
        }
        *m_member = std::move(v);
        return m_member;
    }

    template <typename T> bool Value(T &&v)
    {
        if (!m_started)
            return Fail("the description must be a JSON object");
        Place(json(std::forward<T>(v)));
        return true;
    }

    bool Open(json &&container, bool object)
    {
        if (!m_started && !object)
            return Fail("the description must be a JSON object");
        m_started = true;
        if (m_open.size() >= std::size_t(MaxJsonDepth))
            return Fail("nested too deep");
        m_open.push_back(Place(std::move(container)));
        if (object)
            m_names.emplace_back();
        return true;
    }

    bool Close()
    {
        if (m_open.back()->is_object())
            m_names.pop_back();
        m_open.pop_back();
        m_done = m_open.empty();
        return true;
    }

    json &m_root;
    std::vector<json *> m_open;                // containers being filled, outermost first
    std::vector<std::set<std::string>> m_names; // member names so far, one set per open object
    json *m_member = nullptr;
    bool m_started = false;
    bool m_done = false;
    std::string m_why;
    std::string m_where;
};

} // namespace

bool ReadJsonObject(const char *data, std::size_t size, json &out, std::string &why)
{
    if (!data)
        size = 0;
    const char *first = data ? data : "";
    // The parser would skip a byte-order mark; the format has none.
    if (size >= 3 && std::string(first, 3) == "\xEF\xBB\xBF") {
        why = "not valid JSON at offset 0: byte-order mark";
        return false;
    }
    // The parser takes a NUL byte for the end of the input. JSON has none outside strings and
    // none raw inside them, so the text up to the first one is parsed and the NUL refused after.
    const char *nul = static_cast<const char *>(std::memchr(first, 0, size));
    const char *last = nul ? nul : first + size;
    json root;
    StrictBuilder builder(root);
    if (!json::sax_parse(first, last, &builder, nlohmann::json::input_format_t::json, true, false)) {
        const std::string &reason = builder.Why();
        why = reason == "the description must be a JSON object" ? reason
                                                                : "not valid JSON" + builder.Where() + ": " + reason;
        return false;
    }
    if (nul) {
        why = "not valid JSON at offset " + std::to_string(nul - first) + ": text after the object";
        return false;
    }
    out = std::move(root);
    return true;
}

} // namespace tsnet
