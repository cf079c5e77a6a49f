// The shutdown against a login manager of the test's own: a private bus (dbus-daemon) with a
// service that plays org.freedesktop.login1 and records the calls. The library is pointed at that
// bus through TS_LOGIN_BUS_ADDRESS; every call that could reach PowerOff or Reboot is guarded by a
// check that the variable names the test's own bus.
#include "help/systemshutdown.h"
#include "testenv.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

namespace {

const char kBusVariable[] = "TS_LOGIN_BUS_ADDRESS";

// For the whole process, a bus address that leads nowhere: a call made outside a fixture's private
// bus fails instead of reaching the system bus.
class NoSystemBus : public ::testing::Environment
{
public:
    void SetUp() override { ::setenv(kBusVariable, "unix:path=/nonexistent/tessaro-test-bus", 1); }
};
const auto *const g_noSystemBus = ::testing::AddGlobalTestEnvironment(new NoSystemBus);

class ShutdownTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed: the shutdown is not tested";
        ASSERT_TRUE(m_dir.isValid());
        m_bus.setProgram(daemon);
        m_bus.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                            QStringLiteral("--address=unix:path=") + m_dir.filePath(QStringLiteral("bus"))});
        m_bus.start();
        ASSERT_TRUE(m_bus.waitForStarted(10000));
        while (!m_bus.canReadLine())
            ASSERT_TRUE(m_bus.waitForReadyRead(10000)) << "dbus-daemon printed no address";
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        ASSERT_TRUE(m_address.startsWith(QStringLiteral("unix:path=") + m_dir.path())) << m_address.toStdString();
        m_env = std::make_unique<tstest::ScopedEnv>(kBusVariable, m_address.toUtf8().constData());
    }

    void TearDown() override
    {
        DisableShutdownPrivilege();
        StopService();
        m_bus.terminate();
        if (!m_bus.waitForFinished(5000))
            m_bus.kill();
        m_env.reset();
    }

    // True when the library is pointed at this test's bus and nowhere else.
    bool OnOwnBus() const
    {
        return !m_address.isEmpty() && qgetenv(kBusVariable) == m_address.toUtf8()
               && m_address.startsWith(QStringLiteral("unix:path=") + m_dir.path());
    }

    void StartService(const char *answer, const char *action)
    {
        StopService();
        m_log = m_dir.filePath(QStringLiteral("calls-%1.log").arg(++m_services));
        m_service = std::make_unique<QProcess>();
        m_service->start(QCoreApplication::applicationDirPath() + QStringLiteral("/tst_login1service"),
                         {m_address, QString::fromLatin1(answer), QString::fromLatin1(action), m_log});
        ASSERT_TRUE(m_service->waitForStarted(10000));
        while (!m_service->canReadLine())
            ASSERT_TRUE(m_service->waitForReadyRead(10000)) << m_service->readAllStandardError().toStdString();
        ASSERT_EQ(m_service->readLine().trimmed(), QByteArray("ready"));
    }

    void StopService()
    {
        if (!m_service)
            return;
        m_service->terminate();
        if (!m_service->waitForFinished(5000))
            m_service->kill();
        m_service.reset();
    }

    QStringList Calls() const
    {
        QFile log(m_log);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    static void DisableShutdownPrivilege()
    {
        HANDLE token = nullptr;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
            AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr);
            CloseHandle(token);
        }
    }

    QTemporaryDir m_dir;
    QProcess m_bus;
    QString m_address;
    std::unique_ptr<tstest::ScopedEnv> m_env;
    std::unique_ptr<QProcess> m_service;
    QString m_log;
    int m_services = 0;
};

#define ASSERT_ON_OWN_BUS() ASSERT_TRUE(OnOwnBus()) << "refusing to shut down through any bus but the test's own"

TEST_F(ShutdownTest, Services)
{
    struct Case {
        const char *name;
        const char *answer;
        const char *action;
        bool reboot;
        long expected;
        QStringList calls;
    };
    const QString powerOff = QStringLiteral("PowerOff false");
    const QString reboot = QStringLiteral("Reboot false");
    const QString canPowerOff = QStringLiteral("CanPowerOff");
    const QString canReboot = QStringLiteral("CanReboot");
    const Case cases[] = {
        {"refusing service, power off", "no", "refuse", false, E_ACCESSDENIED, {canPowerOff, canReboot}},
        {"refusing service, reboot", "no", "accept", true, E_ACCESSDENIED, {canPowerOff, canReboot}},
        {"only with a password: not held", "challenge", "accept", false, E_ACCESSDENIED, {canPowerOff, canReboot}},
        {"accepting service, power off", "yes", "accept", false, S_OK, {canPowerOff, powerOff}},
        {"accepting service, reboot", "yes", "accept", true, S_OK, {canPowerOff, reboot}},
        {"privilege held, the action refused", "yes", "refuse", false, E_ACCESSDENIED, {canPowerOff, powerOff}},
    };
    for (const Case &c : cases) {
        StartService(c.answer, c.action);
        ASSERT_ON_OWN_BUS();
        EXPECT_EQ(DoShutDown(c.reboot), c.expected) << c.name;
        EXPECT_EQ(Calls(), c.calls) << c.name << ": " << Calls().join(QLatin1Char('|')).toStdString();
        DisableShutdownPrivilege();
    }
}

// Nobody plays the login manager on the bus, or the bus is not there: refused, at once.
TEST_F(ShutdownTest, NoLoginManager)
{
    ASSERT_ON_OWN_BUS();
    EXPECT_EQ(DoShutDown(false), E_ACCESSDENIED);
    tstest::ScopedEnv nowhere(kBusVariable, ("unix:path=" + m_dir.filePath(QStringLiteral("none"))).toUtf8().constData());
    EXPECT_EQ(DoShutDown(true), E_ACCESSDENIED);
}

// The platform calls directly: what the token needs, and no action without the enabled privilege.
TEST_F(ShutdownTest, TokenRules)
{
    StartService("yes", "accept");
    ASSERT_ON_OWN_BUS();
    HANDLE token = nullptr;
    EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(42), TOKEN_QUERY, &token));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    TOKEN_PRIVILEGES privileges = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid));
    EXPECT_FALSE(LookupPrivilegeValueW(nullptr, u"SeDebugPrivilege", &privileges.Privileges[0].Luid));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_SUCH_PRIVILEGE));
    EXPECT_FALSE(LookupPrivilegeValueW(u"elsewhere", SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid));
    // Query access only: the privilege cannot be changed.
    EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CloseHandle(token));
    EXPECT_FALSE(CloseHandle(token));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    // Not enabled: no action reaches the login manager.
    EXPECT_FALSE(InitiateSystemShutdownExW(nullptr, nullptr, 0, FALSE, FALSE, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRIVILEGE_NOT_HELD));
    // Enabled, then disabled again.
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
    ASSERT_TRUE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    privileges.Privileges[0].Attributes = 0;
    ASSERT_TRUE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
    EXPECT_FALSE(InitiateSystemShutdownExW(nullptr, nullptr, 0, FALSE, TRUE, 0));
    // Enabled, but a delayed shutdown or another machine is not supported.
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    ASSERT_TRUE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
    WCHAR other[] = u"elsewhere";
    EXPECT_FALSE(InitiateSystemShutdownExW(nullptr, nullptr, 30, FALSE, FALSE, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(InitiateSystemShutdownExW(other, nullptr, 0, FALSE, FALSE, 0));
    CloseHandle(token);
    EXPECT_EQ(Calls(), QStringList({QStringLiteral("CanPowerOff"), QStringLiteral("CanPowerOff")}));
}

} // namespace
