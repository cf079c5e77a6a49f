#include "bussession.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace atspitest {

namespace {

// A session bus without service activation: nothing starts behind the test's back.
const char BusConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

QString LauncherPath()
{
    for (const char *path : {"/usr/libexec/at-spi-bus-launcher",
                             "/usr/lib/at-spi2-core/at-spi-bus-launcher"})
        if (QFile::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    return QString();
}

void End(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

BusSession::~BusSession()
{
    End(m_launcher);
    End(m_bus);
    End(m_x);
}

bool BusSession::Start(QProcess &process, const QString &program, const QStringList &arguments,
                       QString *why)
{
    process.setProcessEnvironment(Environment());
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(5000)) {
        *why = program + QStringLiteral(" does not start: ") + process.errorString();
        return false;
    }
    return true;
}

bool BusSession::StartDisplay(QString *why)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        *why = QStringLiteral("no virtual X server (Xvfb) is installed");
        return false;
    }
    // -displayfd: the server picks a free display and writes its number once it accepts clients.
    if (!Start(m_x, xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                           QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp")}, why))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (!m_x.canReadLine() && m_x.state() == QProcess::Running && timer.elapsed() < 15000)
        m_x.waitForReadyRead(200);
    const QString number = QString::fromLatin1(m_x.readLine()).trimmed();
    if (number.isEmpty()) {
        *why = QStringLiteral("the virtual X server did not start: ")
               + QString::fromLocal8Bit(m_x.readAllStandardError()).left(400);
        End(m_x);
        return false;
    }
    m_display = QLatin1Char(':') + number;
    return true;
}

bool BusSession::StartBus(QString *why)
{
    if (!m_dir.isValid()) {
        *why = QStringLiteral("no temporary folder");
        return false;
    }
    QFile config(m_dir.filePath(QStringLiteral("session.conf")));
    if (!config.open(QIODevice::WriteOnly)
        || config.write(QString::fromLatin1(BusConfig).arg(m_dir.path()).toUtf8()) < 0) {
        *why = QStringLiteral("cannot write the bus configuration");
        return false;
    }
    config.close();
    if (!Start(m_bus, QStringLiteral("dbus-daemon"),
               {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1")}, why))
        return false;
    while (!m_bus.canReadLine() && m_bus.waitForReadyRead(5000)) {
    }
    m_busAddress = QString::fromLatin1(m_bus.readLine()).trimmed();
    if (m_busAddress.isEmpty()) {
        *why = QStringLiteral("the session bus did not start: ")
               + QString::fromLocal8Bit(m_bus.readAllStandardError());
        return false;
    }
    const QString launcher = LauncherPath();
    if (launcher.isEmpty()) {
        *why = QStringLiteral("the accessibility bus launcher (at-spi2-core) is not installed");
        return false;
    }
    if (!Start(m_launcher, launcher,
               {QStringLiteral("--launch-immediately"), QStringLiteral("--a11y=1")}, why))
        return false;
    // Ready once the launcher answers for the accessibility bus on the session bus.
    QDBusConnection session = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("ts-atspi"));
    QElapsedTimer timer;
    timer.start();
    bool ready = false;
    while (!ready && timer.elapsed() < 15000 && m_launcher.state() == QProcess::Running) {
        ready = session.isConnected()
                && session.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus"));
        if (!ready)
            QThread::msleep(100);
    }
    if (ready) {
        const QDBusReply<QString> address = session.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
        m_a11yAddress = address.isValid() ? address.value() : QString();
        ready = !m_a11yAddress.isEmpty();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("ts-atspi"));
    if (!ready)
        *why = QStringLiteral("the accessibility bus launcher did not come up: ")
               + QString::fromLocal8Bit(m_launcher.readAllStandardError()).left(400);
    return ready;
}

QProcessEnvironment BusSession::Environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (!m_display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), m_display);
    if (!m_busAddress.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    return env;
}

} // namespace atspitest
