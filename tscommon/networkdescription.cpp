#include "networkdescription.h"

#include "jsonsyntax_p.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>
#include <limits>

namespace tsnet {
namespace {

// Thrown for anything the description gets wrong; the message says what and where.
struct Refusal {
    std::string message;
};

[[noreturn]] void Refuse(const std::string &message) { throw Refusal{message}; }

Text ToText(const QString &s) { return Text(reinterpret_cast<const WCHAR *>(s.utf16()), std::size_t(s.size())); }

QJsonObject ObjectAt(const QJsonValue &v, const char *what)
{
    if (!v.isObject())
        Refuse(std::string(what) + " must be an object");
    return v.toObject();
}

QJsonArray ArrayOf(const QJsonObject &o, const char *key, const char *what)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return QJsonArray();
    if (!v.isArray())
        Refuse(std::string(what) + ": \"" + key + "\" must be an array");
    return v.toArray();
}

// A name as callers' buffers can hold it: no NUL inside, at most MaxNameLength units.
Text NameOf(const QJsonObject &o, const char *what, bool required)
{
    const QJsonValue v = o.value(QLatin1String("name"));
    if (v.isUndefined() && !required)
        return Text();
    if (!v.isString())
        Refuse(std::string(what) + ": \"name\" must be a string");
    const QString s = v.toString();
    if (std::size_t(s.size()) > MaxNameLength)
        Refuse(std::string(what) + ": name longer than 511 characters");
    if (s.contains(QChar(0)))
        Refuse(std::string(what) + ": name holds a NUL character");
    return ToText(s);
}

// A whole number in [low, high] from a JSON number, or from a "0x..." text for status codes.
long long Integer(const QJsonValue &v, long long low, long long high, const std::string &what)
{
    long long n = 0;
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || d < double(low) || d > double(high))
            Refuse(what + " is out of range or not a whole number");
        n = static_cast<long long>(d);
    } else if (v.isString()) {
        const QString s = v.toString();
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

DWORD Code(const QJsonValue &v, const std::string &what)
{
    return DWORD(Integer(v, 0, std::numeric_limits<DWORD>::max(), what));
}

// An HRESULT, as a signed number or as its hexadecimal bit pattern.
HRESULT Status(const QJsonValue &v, const std::string &what)
{
    return HRESULT(std::uint32_t(Integer(v, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::uint32_t>::max(), what)));
}

Failure FailureOf(const QJsonObject &owner, const char *what)
{
    Failure f;
    const QJsonValue v = owner.value(QLatin1String("failure"));
    if (v.isUndefined())
        return f;
    const QJsonObject o = ObjectAt(v, what);
    f.code = Code(o.value(QLatin1String("code")), std::string(what) + " code");
    if (f.code == 0)
        Refuse(std::string(what) + " code must not be 0");
    if (o.contains(QLatin1String("providerCode")))
        f.providerCode = Code(o.value(QLatin1String("providerCode")), std::string(what) + " providerCode");
    for (const char *key : {"description", "provider"}) {
        const QJsonValue t = o.value(QLatin1String(key));
        if (t.isUndefined())
            continue;
        if (!t.isString())
            Refuse(std::string(what) + ": \"" + key + "\" must be a string");
        (std::string(key) == "description" ? f.description : f.provider) = ToText(t.toString());
    }
    return f;
}

// Parses one directory object and its children; returns its index. The JSON reader's own nesting
// limit bounds the depth of this recursion.
std::size_t ReadObject(Network &n, const QJsonValue &v, const Text &parentPath, bool tree)
{
    const char *what = tree ? "directory tree" : "directory object";
    const QJsonObject o = ObjectAt(v, what);
    DirectoryObject d;
    d.name = NameOf(o, what, true);
    if (d.name.empty())
        Refuse(std::string(what) + ": name must not be empty");
    d.path = tree ? u"LDAP://" + d.name : parentPath + u"/" + d.name;
    if (d.path.size() > MaxPathLength)
        Refuse(std::string(what) + ": path longer than 2048 characters");
    d.type = tree ? 2 : 1;
    if (o.contains(QLatin1String("type")))
        d.type = Code(o.value(QLatin1String("type")), std::string(what) + " type");
    if (o.contains(QLatin1String("failure")))
        d.failure = Status(o.value(QLatin1String("failure")), std::string(what) + " failure");
    const Text path = d.path;
    const std::size_t index = n.objects.size();
    n.objects.push_back(std::move(d));
    n.byPath.emplace(path, index);
    bool holds = false;
    for (const QJsonValue child : ArrayOf(o, "children", what)) {
        const std::size_t c = ReadObject(n, child, path, false);
        n.objects[index].children.push_back(c);
        holds = holds || n.objects[c].type == 0 || n.objects[c].holdsComputer;
    }
    n.objects[index].holdsComputer = holds;
    return index;
}

void ReadNetwork(Network &n, const QJsonObject &root)
{
    const QJsonValue ad = root.value(QLatin1String("activeDirectory"));
    if (!ad.isUndefined() && !ad.isBool())
        Refuse("\"activeDirectory\" must be true or false");
    n.activeDirectory = ad.toBool(false);
    n.domainsFailure = FailureOf(root, "domain list failure");

    for (const QJsonValue dv : ArrayOf(root, "domains", "network")) {
        const QJsonObject o = ObjectAt(dv, "domain");
        Domain d;
        d.name = NameOf(o, "domain", false);
        d.failure = FailureOf(o, "domain failure");
        for (const QJsonValue cv : ArrayOf(o, "computers", "domain")) {
            const QJsonObject c = ObjectAt(cv, "computer");
            Computer computer;
            computer.name = NameOf(c, "computer", false);
            const QJsonValue version = c.value(QLatin1String("version"));
            if (!version.isUndefined()) {
                // "major.minor" or "major".
                const QStringList parts = version.toString().split(QLatin1Char('.'));
                bool okMajor = false, okMinor = true;
                if (version.isString() && parts.size() <= 2) {
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

    const QJsonValue dir = root.value(QLatin1String("directory"));
    if (dir.isUndefined())
        return;
    const QJsonObject o = ObjectAt(dir, "\"directory\"");
    if (o.contains(QLatin1String("createFailure")))
        n.directoryCreateFailure = Status(o.value(QLatin1String("createFailure")), "directory createFailure");
    if (o.contains(QLatin1String("treesFailure")))
        n.treesFailure = Status(o.value(QLatin1String("treesFailure")), "directory treesFailure");
    for (const QJsonValue tv : ArrayOf(o, "trees", "directory"))
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
        if (!IsWellFormedJsonObject(data, size, why))
            Refuse(why);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(data, int(size)), &error);
        if (error.error != QJsonParseError::NoError)
            Refuse("not valid JSON at offset " + std::to_string(error.offset) + ": " +
                   error.errorString().toStdString());
        if (!doc.isObject())
            Refuse("the description must be a JSON object");
        ReadNetwork(n, doc.object());
    } catch (const Refusal &r) {
        n = Network();
        n.loadError = ERROR_INVALID_DATA;
        n.loadMessage = r.message;
    }
    return n;
}

} // namespace tsnet
