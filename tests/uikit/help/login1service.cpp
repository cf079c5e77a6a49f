// A login manager for the shutdown tests: owns org.freedesktop.login1 on the bus it is given,
// answers CanPowerOff and CanReboot with the answer it is given, accepts or refuses PowerOff and
// Reboot, and appends every call to a log file ("CanPowerOff", "PowerOff false", ...). Prints
// "ready" once it owns the name.
//     login1service ADDRESS yes|no|challenge accept|refuse LOGFILE
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <cstdio>

namespace {

class LoginManager : public QDBusVirtualObject
{
public:
    LoginManager(QString answer, bool accept, QString log)
        : m_answer(std::move(answer)), m_accept(accept), m_log(std::move(log))
    {
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.interface() != QLatin1String("org.freedesktop.login1.Manager"))
            return false;
        const QString member = message.member();
        QString line = member;
        for (const QVariant &argument : message.arguments())
            line += QLatin1Char(' ') + (argument.type() == QVariant::Bool
                                            ? QLatin1String(argument.toBool() ? "true" : "false")
                                            : argument.toString());
        QFile log(m_log);
        if (log.open(QIODevice::Append))
            log.write(line.toUtf8() + '\n');
        log.close();
        if (member == QLatin1String("CanPowerOff") || member == QLatin1String("CanReboot"))
            connection.send(message.createReply(m_answer));
        else if ((member == QLatin1String("PowerOff") || member == QLatin1String("Reboot")) && m_accept)
            connection.send(message.createReply());
        else
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                                                     QStringLiteral("refused by the test service")));
        return true;
    }

    QString introspect(const QString &) const override { return {}; }

private:
    QString m_answer;
    bool m_accept;
    QString m_log;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: login1service ADDRESS ANSWER accept|refuse LOGFILE\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(args[1], QStringLiteral("login1service"));
    LoginManager manager(args[2], args[3] == QLatin1String("accept"), args[4]);
    if (!bus.isConnected()
        || !bus.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), &manager)
        || !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
        std::fprintf(stderr, "login1service: cannot serve on %s\n", qPrintable(args[1]));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
