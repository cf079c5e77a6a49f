// Network browsing over a description file: the reader, CBrowser, WNetGetLastErrorW and the
// directory service's system-information object.
#include "browser.h"
#include "networkbackend.h"
#include "networkdescription.h"
#include "networkfile.h"
#include "wnet.h"

#include <QDir>

#include <gtest/gtest.h>

#include <string>

namespace {

using Text = std::u16string;

Text Num(unsigned long v) { return Text(reinterpret_cast<const char16_t *>(QString::number(v).utf16())); }

tsnet::Network Parse(const QByteArray &json) { return tsnet::ParseNetworkDescription(json.constData(), std::size_t(json.size())); }

// Everything a browser lists of the domain list, or of one domain when `domain` is given.
std::vector<Text> Enumerate(const char16_t *domain = nullptr)
{
    CBrowser b;
    std::vector<Text> names;
    WCHAR name[512];
    if (!(domain ? b.FindFirstComputer(domain) : b.FindFirstDomain()))
        return names;
    do {
        std::fill(std::begin(name), std::end(name), WCHAR(0));
        if (domain ? b.GetComputerNameW(name) : b.GetDomainName(name)) {
            DWORD major = 0, minor = 0;
            if (domain)
                b.GetMachineVersion(major, minor);
            names.push_back(domain ? Text(name) + u"@" + Num(major) : Text(name));
        }
    } while (domain ? b.FindNextComputer() : b.FindNextDomain());
    domain ? b.FindComputerClose() : b.FindDomainClose();
    return names;
}

TEST(NetworkDescription, RefusesWhatBreaksTheFormat)
{
    const QByteArray longName = QByteArray(512, 'n');
    const QByteArray deep = [] {
        // Eight levels of 300-character names: a path over 2048 characters.
        QByteArray inner = "{\"name\":\"leaf\",\"type\":0}";
        for (int i = 0; i < 8; ++i)
            inner = "{\"name\":\"" + QByteArray(300, 'c') + "\",\"children\":[" + inner + "]}";
        return "{\"directory\":{\"trees\":[" + inner + "]}}";
    }();
    struct Row {
        QByteArray json;
        const char *why;
    };
    const Row rows[] = {
        {"", "JSON object"},
        {"{\"domains\":[", "not valid JSON"},
        {"{} x", "text after"},
        {"{\"domains\":{},\"domains\":[]}", "repeats"},
        {"{\"a\":1,\"\\u0061\":2}", "repeats"},
        {"{\"a\":\"\x01\"}", "control character"},
        {"{\"a\":\"\xC0\xAF\"}", "UTF-8"},
        {"{\"a\":\"\xED\xA0\x80\"}", "UTF-8"},
        {"{\"a\":\"\\x\"}", "bad escape"},
        {"{\"a\":1e999}", "out of range"},
        {"{\"a\":01}", "expected"},
        {"{\"a\":" + QByteArray(300, '[') + QByteArray(300, ']') + "}", "too deep"},
        {QByteArray("{\"a\":\"x\"}\0", 10), "text after"},
        {"[]", "JSON object"},
        {"{\"activeDirectory\":\"yes\"}", "true or false"},
        {"{\"domains\":{}}", "must be an array"},
        {"{\"domains\":[7]}", "domain must be an object"},
        {"{\"domains\":[{\"name\":\"" + longName + "\"}]}", "longer than 511"},
        {"{\"domains\":[{\"name\":\"A\\u0000B\"}]}", "NUL"},
        {"{\"domains\":[{\"name\":5}]}", "must be a string"},
        {"{\"domains\":[{\"computers\":[{\"version\":\"x\"}]}]}", "version"},
        {"{\"domains\":[{\"computers\":[{\"version\":\"5.1.2\"}]}]}", "version"},
        {"{\"domains\":[{\"computers\":[{\"version\":5}]}]}", "version"},
        {"{\"failure\":{\"code\":0}}", "must not be 0"},
        {"{\"failure\":{\"code\":-1}}", "out of range"},
        {"{\"failure\":{\"code\":1.5}}", "whole number"},
        {"{\"failure\":{\"code\":4294967296}}", "out of range"},
        {"{\"failure\":{\"code\":\"0x123456789\"}}", "hexadecimal"},
        {"{\"failure\":{\"code\":5,\"description\":1}}", "must be a string"},
        {"{\"directory\":{\"treesFailure\":\"bad\"}}", "hexadecimal"},
        {"{\"directory\":{\"trees\":[{\"name\":\"\"}]}}", "must not be empty"},
        {"{\"directory\":{\"trees\":[{\"name\":\"t\",\"type\":-2}]}}", "out of range"},
        {deep, "path longer"},
    };
    for (const Row &row : rows) {
        const tsnet::Network n = Parse(row.json);
        EXPECT_EQ(n.loadError, DWORD(ERROR_INVALID_DATA)) << row.json.left(80).constData();
        EXPECT_NE(n.loadMessage.find(row.why), std::string::npos) << n.loadMessage;
        EXPECT_TRUE(n.domains.empty() && n.objects.empty() && !n.activeDirectory);
    }
    // Over the size limit, whatever it holds.
    const QByteArray huge = "{\"x\":\"" + QByteArray(int(tsnet::MaxDescriptionSize), 'x') + "\"}";
    EXPECT_EQ(Parse(huge).loadError, DWORD(ERROR_INVALID_DATA));
}

// Strict where a lenient reader would guess: a byte-order mark, a lone surrogate escape, a number
// that underflows, a NUL after the object; and what stays accepted at the edges.
TEST(NetworkDescription, StrictAtTheEdges)
{
    struct Row {
        QByteArray json;
        const char *why; // null: accepted
    };
    const Row rows[] = {
        {"\xEF\xBB\xBF{}", "byte-order mark"},
        {"{\"a\":\"\\ud800\"}", "bad \\u escape"},
        {"{\"a\":\"\\udc00\\ud800\"}", "bad \\u escape"},
        {"{\"a\":1e-400}", "out of range"},
        {"{\"a\":-2.5e-330}", "out of range"},
        {QByteArray("{\0}", 3), "not valid JSON"},
        {QByteArray("{}\0{}", 5), "text after"},
        {"{\"a\":0e-400,\"b\":1e308,\"c\":-0.0,\"d\":18446744073709551616}", nullptr},
        {"{\"a\":\"\\ud83d\\ude00\",\"\\u00e9\":1,\"\xC3\xA9 \":2}", nullptr},
        {"\t\r\n {\"a\":" + QByteArray(255, '[') + QByteArray(255, ']') + "} \n", nullptr},
        {"{\"a\":" + QByteArray(256, '[') + QByteArray(256, ']') + "}", "too deep"},
        {"{\"a\":{\"x\":1},\"b\":{\"x\":1}}", nullptr}, // a name repeats only within one object
    };
    for (const Row &row : rows) {
        const tsnet::Network n = Parse(row.json);
        EXPECT_EQ(n.loadError, row.why ? DWORD(ERROR_INVALID_DATA) : DWORD(ERROR_SUCCESS)) << row.json.left(80).constData();
        if (row.why) {
            EXPECT_NE(n.loadMessage.find(row.why), std::string::npos) << n.loadMessage;
        }
    }
}

TEST(NetworkDescription, ReadsStatusesAndDirectoryPaths)
{
    const tsnet::Network n = Parse(R"({"unknown": 1,
        "domains": [{"name": "D", "failure": {"code": 1208, "providerCode": "0x10", "description": "d", "provider": "p"}}],
        "directory": {"createFailure": "0x80070005", "treesFailure": -2147024891,
                      "trees": [{"name": "a.example", "children": [
                          {"name": "Box", "children": [{"name": "PC", "type": 0}]},
                          {"name": "Empty"}]}]}})");
    ASSERT_EQ(n.loadError, DWORD(ERROR_SUCCESS)) << n.loadMessage;
    EXPECT_EQ(n.domains[0].failure.code, 1208u);
    EXPECT_EQ(n.domains[0].failure.providerCode, 16u);
    EXPECT_EQ(n.directoryCreateFailure, HRESULT(0x80070005));
    EXPECT_EQ(n.treesFailure, HRESULT(0x80070005));
    struct Row {
        const char16_t *path;
        DWORD type;
        bool holdsComputer;
    };
    const Row rows[] = {{u"LDAP://a.example", 2, true},
                        {u"LDAP://a.example/Box", 1, true},
                        {u"LDAP://a.example/Box/PC", 0, false},
                        {u"LDAP://a.example/Empty", 1, false}};
    for (const Row &row : rows) {
        const auto it = n.byPath.find(row.path);
        ASSERT_NE(it, n.byPath.end());
        EXPECT_EQ(n.objects[it->second].type, row.type);
        EXPECT_EQ(n.objects[it->second].holdsComputer, row.holdsComputer);
    }
}

TEST(CBrowser, EnumeratesDomainsAndComputersInFileOrder)
{
    const QByteArray longName(511, 'L');
    tstest::NetworkFile file(R"({"domains": [
        {"name": "ONE", "computers": [{"name": "\\\\PC1", "version": "5.0"}, {"version": "6.1"},
                                      {"name": "OLD", "version": "4.0"}, {"name": "NOVER"}]},
        {},
        {"name": ")" + longName + R"("}]})");
    EXPECT_EQ(Enumerate(), (std::vector<Text>{u"ONE", Text(511, u'L')})) << "a nameless entry is skipped";
    EXPECT_EQ(Enumerate(u"ONE"), (std::vector<Text>{u"\\\\PC1@5", u"OLD@4", u"NOVER@0"}));

    // Reading past the end, or before the first find call, gives nothing.
    CBrowser b;
    WCHAR name[512] = {};
    EXPECT_FALSE(b.GetDomainName(name));
    EXPECT_FALSE(b.FindNextDomain());
    ASSERT_TRUE(b.FindFirstDomain());
    EXPECT_FALSE(b.GetComputerNameW(name)) << "a domain enumeration has no computers";
    while (b.FindNextDomain()) {
    }
    EXPECT_FALSE(b.GetDomainName(name));
    EXPECT_FALSE(b.FindNextDomain());
}

TEST(CBrowser, FailingFindCallsReportTheirCode)
{
    struct Row {
        QByteArray json;
        bool domains; // the domain list, else the computers of "D"
        DWORD code;
    };
    const Row rows[] = {
        {R"({"failure": {"code": 5}})", true, 5},
        {R"({})", true, ERROR_NO_BROWSER_SERVERS_FOUND},
        {R"({"domains": [{"name": "D", "failure": {"code": 2351}}]})", false, NERR_InvalidComputer},
        {R"({"domains": [{"name": "D"}]})", false, ERROR_NO_BROWSER_SERVERS_FOUND},
        {R"({"domains": [{"name": "E"}]})", false, ERROR_NO_SUCH_DOMAIN},
        {R"({"domains": [{"name": "D" )", true, ERROR_INVALID_DATA},
        {R"({"domains": [{"name": "D" )", false, ERROR_INVALID_DATA},
    };
    for (const Row &row : rows) {
        tstest::NetworkFile file(row.json);
        CBrowser b;
        EXPECT_EQ(b.GetErrorMessage(), DWORD(ERROR_SUCCESS));
        EXPECT_FALSE(row.domains ? b.FindFirstDomain() : b.FindFirstComputer(u"D")) << row.json.constData();
        EXPECT_EQ(b.GetErrorMessage(), row.code) << row.json.constData();
    }
    // A file that cannot be read.
    tstest::ScopedEnv missing("TS_NETWORK_FILE", "/nonexistent/network.json");
    CBrowser b;
    EXPECT_FALSE(b.FindFirstDomain());
    EXPECT_EQ(b.GetErrorMessage(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(CBrowser::IsDomainActiveDirectory());
}

TEST(WNetGetLastErrorW, ReportsTheExtendedErrorOfTheLastFailure)
{
    tstest::NetworkFile file(R"({"failure": {"code": 1208, "providerCode": 77,
        "description": "Link down <now> & later", "provider": "Lab Net"}})");
    WNetSetLastErrorW(0, nullptr, nullptr);
    CBrowser b;
    EXPECT_FALSE(b.FindFirstDomain());
    EXPECT_EQ(b.GetErrorMessage(), DWORD(ERROR_EXTENDED_ERROR));
    DWORD code = 0;
    WCHAR description[512], provider[512];
    EXPECT_EQ(WNetGetLastErrorW(&code, description, 512, provider, 512), DWORD(NO_ERROR));
    EXPECT_EQ(code, 77u);
    EXPECT_EQ(Text(description), u"Link down <now> & later");
    EXPECT_EQ(Text(provider), u"Lab Net");
    // Cut to the buffers, always terminated.
    WCHAR small[5];
    EXPECT_EQ(WNetGetLastErrorW(&code, small, 5, provider, 1), DWORD(NO_ERROR));
    EXPECT_EQ(Text(small), u"Link");
    EXPECT_EQ(provider[0], 0);
    EXPECT_EQ(WNetGetLastErrorW(nullptr, description, 512, provider, 512), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WNetGetLastErrorW(&code, description, 0, provider, 512), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(CBrowser, ListsDirectoryLevels)
{
    tstest::NetworkFile file(R"({"activeDirectory": true, "directory": {"trees": [{"name": "a.example", "children": [
        {"name": "Box", "children": [{"name": "PC", "type": 0}, {"name": "Sub", "children": [{"name": "PC2", "type": 0}]}]},
        {"name": "Empty", "failure": "0x80072030"},
        {"name": "Odd", "type": 9}]}]}})");
    EXPECT_TRUE(CBrowser::IsDomainActiveDirectory());
    struct Row {
        const char16_t *path;
        long result;
        std::vector<Text> children; // "name type"
    };
    const Row rows[] = {
        {u"LDAP://a.example", S_OK, {u"Box 1", u"Empty 1", u"Odd 9"}},
        {u"LDAP://a.example/Box", S_OK, {u"PC 0", u"Sub 1"}},
        {u"LDAP://a.example/Empty", long(HRESULT(0x80072030)), {}},
        {u"LDAP://nowhere", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), {}},
    };
    for (const Row &row : rows) {
        CBrowser b;
        std::list<CBrowser::_ACTIVE_DIRECTORY_BROWSER_DATA> children;
        EXPECT_EQ(b.PopulateADAtLevel(row.path, children), row.result);
        std::vector<Text> got;
        for (const auto &c : children) {
            EXPECT_EQ(c.adsPath, Text(row.path) + u"/" + c.displayName);
            got.push_back(c.displayName + u" " + Num(c.objectType));
        }
        EXPECT_EQ(got, row.children);
    }
    EXPECT_TRUE(CBrowser::DoesContainerHaveComputerInIt(u"LDAP://a.example/Box/Sub"));
    EXPECT_FALSE(CBrowser::DoesContainerHaveComputerInIt(u"LDAP://a.example/Empty"));
    EXPECT_FALSE(CBrowser::DoesContainerHaveComputerInIt(u"LDAP://a.example/Box/PC"));
    EXPECT_FALSE(CBrowser::DoesContainerHaveComputerInIt(u"LDAP://nowhere"));
}

TEST(ADSystemInfo, ListsTreesThroughTheClassRegistry)
{
    IADsADSystemInfo *info = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ADSystemInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IADsADSystemInfo,
                               reinterpret_cast<void **>(&info)),
              CO_E_NOTINITIALIZED)
        << "outside an apartment";
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    struct Row {
        QByteArray json;
        HRESULT create;
        HRESULT trees;
        std::vector<Text> names;
    };
    const Row rows[] = {
        {R"({"directory": {"trees": [{"name": "a.example"}, {"name": "b.example"}]}})", S_OK, S_OK, {u"a.example", u"b.example"}},
        {R"({})", S_OK, S_OK, {}},
        {R"({"directory": {"treesFailure": "0x8007054B"}})", S_OK, HRESULT(0x8007054B), {}},
        {R"({"directory": {"createFailure": "0x80070005"}})", HRESULT(0x80070005), S_OK, {}},
        {R"(not json)", S_OK, HRESULT_FROM_WIN32(ERROR_INVALID_DATA), {}},
    };
    for (const Row &row : rows) {
        tstest::NetworkFile file(row.json);
        info = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_ADSystemInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IADsADSystemInfo,
                                   reinterpret_cast<void **>(&info)),
                  row.create);
        if (FAILED(row.create)) {
            EXPECT_EQ(info, nullptr);
            continue;
        }
        VARIANT trees;
        VariantInit(&trees);
        EXPECT_EQ(info->GetTrees(&trees), row.trees);
        std::vector<Text> names;
        if (SUCCEEDED(row.trees)) {
            ASSERT_EQ(trees.vt, VT_ARRAY | VT_VARIANT);
            LONG lower = 1, upper = 0;
            SafeArrayGetLBound(trees.parray, 1, &lower);
            SafeArrayGetUBound(trees.parray, 1, &upper);
            for (LONG i = lower; i <= upper; ++i) {
                VARIANT v;
                VariantInit(&v);
                SafeArrayGetElement(trees.parray, &i, &v);
                names.emplace_back(v.bstrVal, SysStringLen(v.bstrVal));
                VariantClear(&v);
            }
        } else {
            EXPECT_EQ(trees.vt, VT_EMPTY);
        }
        EXPECT_EQ(names, row.names);
        VariantClear(&trees);
        info->Release();
    }
    CoUninitialize();
}

TEST(NetworkBackend, CountsCallsAndUsesTheExampleByDefault)
{
    tstest::ScopedEnv unset("TS_NETWORK_FILE", nullptr);
    const auto example = tsnet::CurrentNetwork();
    ASSERT_EQ(example->loadError, DWORD(ERROR_SUCCESS)) << example->loadMessage;
    EXPECT_TRUE(example->activeDirectory);
    EXPECT_FALSE(example->domains.empty());
    EXPECT_EQ(tsnet::CurrentNetwork(), example) << "read once";

    const unsigned long before = TsNetworkCallCount();
    {
        CBrowser b;
        EXPECT_EQ(TsNetworkCallCount(), before) << "building a browser calls nothing";
        b.FindFirstDomain();
        b.FindFirstComputer(u"CORP");
    }
    CBrowser::IsDomainActiveDirectory();
    CBrowser::DoesContainerHaveComputerInIt(u"LDAP://x");
    EXPECT_EQ(TsNetworkCallCount(), before + 4);
}

// The fuzzer's seeds: the ones named bad-* are refused, the others read.
TEST(NetworkDescription, FuzzSeedsReplay)
{
    const QDir dir(QStringLiteral(TS_NETWORK_SEED_DIR));
    const QStringList seeds = dir.entryList(QDir::Files);
    ASSERT_GE(seeds.size(), 4);
    for (const QString &name : seeds) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const tsnet::Network n = Parse(file.readAll());
        EXPECT_EQ(n.loadError != ERROR_SUCCESS, name.startsWith(QLatin1String("bad-")))
            << name.toStdString() << ": " << n.loadMessage;
    }
}

} // namespace
