#include "networkdescription.h"

#include "jsonreader_p.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <limits>

namespace tsnet {
namespace {

// Thrown for anything the description gets wrong; the message says what and where.
struct Refusal {
    std::string message;
};

[[noreturn]] void Refuse(const std::string &message) { throw Refusal{message}; }

using json = nlohmann::json;

// The member `key` of an object, or null when it has none.
const json *Member(const json &o, const char *key)
{
    const auto it = o.find(key);
    return it == o.end() ? nullptr : &*it;
}

QString Utf16(const json &v)
{
    const std::string &s = v.get_ref<const std::string &>();
    return QString::fromUtf8(s.data(), int(s.size()));
}

Text ToText(const QString &s) { return Text(reinterpret_cast<const WCHAR *>(s.utf16()), std::size_t(s.size())); }

const json &ObjectAt(const json &v, const char *what)
{
    if (!v.is_object())
        Refuse(std::string(what) + " must be an object");
    return v;
}

const json &ArrayOf(const json &o, const char *key, const char *what)
{
    static const json kEmpty = json::array();
    const json *v = Member(o, key);
    if (!v)
        return kEmpty;
    if (!v->is_array())
        Refuse(std::string(what) + ": \"" + key + "\" must be an array");
    return *v;
}

// A name as callers' buffers can hold it: no NUL inside, at most MaxNameLength units.
Text NameOf(const json &o, const char *what, bool required)
{
    const json *v = Member(o, "name");
    if (!v && !required)
        return Text();
    if (!v || !v->is_string())
        Refuse(std::string(what) + ": \"name\" must be a string");
    const QString s = Utf16(*v);
    if (std::size_t(s.size()) > MaxNameLength)
        Refuse(std::string(what) + ": name longer than 511 characters");
    if (s.contains(QChar(0)))
        Refuse(std::string(what) + ": name holds a NUL character");
    return ToText(s);
}

// A whole number in [low, high] from a JSON number, or from a "0x..." text for status codes.
long long Integer(const json *v, long long low, long long high, const std::string &what)
{
    long long n = 0;
    if (v && v->is_number()) {
        const double d = v->get<double>();
        if (!std::isfinite(d) || d != std::floor(d) || d < double(low) || d > double(high))
            Refuse(what + " is out of range or not a whole number");
        n = static_cast<long long>(d);
    } else if (v && v->is_string()) {
        const QString s = Utf16(*v);
        bool ok = false;
        if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && s.size() <= 10)
            n = s.mid(2).toLongLong(&ok, 16);
        if (!ok)
            Refuse(what + " must be a number or a hexadecimal \"0x...\" text of 8 digits at most");
    } else {
        Refuse(what + " must be a number");
    }
    if (n < low || n > high)
        Refuse(what + " is out of range");
    return n;
}

DWORD Code(const json *v, const std::string &what)
{
    return DWORD(Integer(v, 0, std::numeric_limits<DWORD>::max(), what));
}

// An HRESULT, as a signed number or as its hexadecimal bit pattern.
HRESULT Status(const json *v, const std::string &what)
{
    return HRESULT(std::uint32_t(Integer(v, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::uint32_t>::max(), what)));
}

Failure FailureOf(const json &owner, const char *what)
{
    Failure f;
    const json *v = Member(owner, "failure");
    if (!v)
        return f;
    const json &o = ObjectAt(*v, what);
    f.code = Code(Member(o, "code"), std::string(what) + " code");
    if (f.code == 0)
        Refuse(std::string(what) + " code must not be 0");
    if (const json *p = Member(o, "providerCode"))
        f.providerCode = Code(p, std::string(what) + " providerCode");
    for (const char *key : {"description", "provider"}) {
        const json *t = Member(o, key);
        if (!t)
            continue;
        if (!t->is_string())
            Refuse(std::string(what) + ": \"" + key + "\" must be a string");
        (std::string(key) == "description" ? f.description : f.provider) = ToText(Utf16(*t));
    }
    return f;
}

// Parses one directory object and its children; returns its index. The JSON reader's nesting
// limit bounds the depth of this recursion.
std::size_t ReadObject(Network &n, const json &v, const Text &parentPath, bool tree)
{
    const char *what = tree ? "directory tree" : "directory object";
    const json &o = ObjectAt(v, what);
    DirectoryObject d;
    d.name = NameOf(o, what, true);
    if (d.name.empty())
        Refuse(std::string(what) + ": name must not be empty");
    d.path = tree ? u"LDAP://" + d.name : parentPath + u"/" + d.name;
    if (d.path.size() > MaxPathLength)
        Refuse(std::string(what) + ": path longer than 2048 characters");
    d.type = tree ? 2 : 1;
    if (const json *type = Member(o, "type"))
        d.type = Code(type, std::string(what) + " type");
    if (const json *failure = Member(o, "failure"))
        d.failure = Status(failure, std::string(what) + " failure");
    const Text path = d.path;
    const std::size_t index = n.objects.size();
    n.objects.push_back(std::move(d));
    n.byPath.emplace(path, index);
    bool holds = false;
    for (const json &child : ArrayOf(o, "children", what)) {
        const std::size_t c = ReadObject(n, child, path, false);
        n.objects[index].children.push_back(c);
        holds = holds || n.objects[c].type == 0 || n.objects[c].holdsComputer;
    }
    n.objects[index].holdsComputer = holds;
    return index;
}

void ReadNetwork(Network &n, const json &root)
{
    const json *ad = Member(root, "activeDirectory");
    if (ad && !ad->is_boolean())
        Refuse("\"activeDirectory\" must be true or false");
    n.activeDirectory = ad && ad->get<bool>();
    n.domainsFailure = FailureOf(root, "domain list failure");

    for (const json &dv : ArrayOf(root, "domains", "network")) {
        const json &o = ObjectAt(dv, "domain");
        Domain d;
        d.name = NameOf(o, "domain", false);
        d.failure = FailureOf(o, "domain failure");
        for (const json &cv : ArrayOf(o, "computers", "domain")) {
            const json &c = ObjectAt(cv, "computer");
            Computer computer;
            computer.name = NameOf(c, "computer", false);
            if (const json *version = Member(c, "version")) {
                // "major.minor" or "major".
                const QStringList parts = version->is_string() ? Utf16(*version).split(QLatin1Char('.')) : QStringList();
                bool okMajor = false, okMinor = true;
                if (!parts.isEmpty() && parts.size() <= 2) {
                    computer.major = parts[0].toUInt(&okMajor);
                    if (parts.size() == 2)
                        computer.minor = parts[1].toUInt(&okMinor);
                }
                if (!okMajor || !okMinor)
                    Refuse("computer: \"version\" must be a text \"major.minor\"");
            }
            d.computers.push_back(std::move(computer));
        }
        n.domains.push_back(std::move(d));
    }

    const json *dir = Member(root, "directory");
    if (!dir)
        return;
    const json &o = ObjectAt(*dir, "\"directory\"");
    if (const json *failure = Member(o, "createFailure"))
        n.directoryCreateFailure = Status(failure, "directory createFailure");
    if (const json *failure = Member(o, "treesFailure"))
        n.treesFailure = Status(failure, "directory treesFailure");
    for (const json &tv : ArrayOf(o, "trees", "directory"))
        n.trees.push_back(ReadObject(n, tv, Text(), true));
}

} // namespace

Network ParseNetworkDescription(const char *data, std::size_t size)
{
    Network n;
    try {
        if (!data && size)
            Refuse("no data");
        if (size > MaxDescriptionSize)
            Refuse("description larger than 4 MiB");
        std::string why;
        json doc;
        if (!ReadJsonObject(data, size, doc, why))
            Refuse(why);
        ReadNetwork(n, doc);
    } catch (const Refusal &r) {
        n = Network();
        n.loadError = ERROR_INVALID_DATA;
        n.loadMessage = r.message;
    }
    return n;
}

} // namespace tsnet
