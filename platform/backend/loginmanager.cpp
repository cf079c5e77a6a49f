// The back-end that reaches the login manager: QtDBus and the D-Bus library, loaded with the first
// call.
#include "backendapi_p.h"
#include "tsw/security.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>

#include <atomic>

extern "C" __attribute__((visibility("default"))) bool
TswLoginCall(const QString &method, const QVariantList &arguments, QString *answer)
{
    static_assert(std::is_same_v<decltype(&TswLoginCall), tsw::backend::LoginCallFn>);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), method);
    call.setArguments(arguments);
    QDBusMessage reply;
    // A bus named by the environment gets a connection of its own for the call.
    const QByteArray address = qgetenv("TS_LOGIN_BUS_ADDRESS");
    if (address.isEmpty()) {
        reply = QDBusConnection::systemBus().call(call, QDBus::Block, TSW_LOGIN_CALL_TIMEOUT_MS);
    } else {
        static std::atomic<unsigned> serial{0};
        const QString name = QStringLiteral("tsw-login-%1").arg(serial++);
        {
            QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(address), name);
            reply = bus.isConnected() ? bus.call(call, QDBus::Block, TSW_LOGIN_CALL_TIMEOUT_MS)
                                      : call.createErrorReply(bus.lastError());
        }
        QDBusConnection::disconnectFromBus(name);
    }
    if (reply.type() != QDBusMessage::ReplyMessage)
        return false;
    if (answer)
        *answer = reply.arguments().size() == 1 ? reply.arguments().first().toString() : QString();
    return true;
}
