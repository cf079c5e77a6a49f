// Helpers shared by the suites.
#pragma once

#include <QByteArray>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tstest {

// Sets an environment variable for the lifetime of the object and restores it afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const char *value) : m_name(name)
    {
        if (const char *old = std::getenv(name)) {
            m_hadOld = true;
            m_old = old;
        }
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_hadOld)
            ::setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_hadOld = false;
};

// The proxy variables that libcurl reads, all unset (or all set to `proxy`) while the object lives,
// so that a test's requests go where the test says and nowhere else.
class ProxyEnvironment
{
public:
    explicit ProxyEnvironment(const char *proxy = nullptr)
    {
        for (const char *name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy",
                                 "FTP_PROXY", "gopher_proxy", "GOPHER_PROXY", "all_proxy", "ALL_PROXY",
                                 "no_proxy", "NO_PROXY"}) {
            const bool isNoProxy = std::string(name) == "no_proxy" || std::string(name) == "NO_PROXY";
            m_vars.push_back(std::make_unique<ScopedEnv>(name, isNoProxy ? nullptr : proxy));
        }
    }

private:
    std::vector<std::unique_ptr<ScopedEnv>> m_vars;
};

} // namespace tstest
