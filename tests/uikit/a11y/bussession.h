// A private graphical session for the bus test: a virtual X server, a session bus and the
// accessibility bus launcher, all ended with the session.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace atspitest {

class BusSession
{
public:
    ~BusSession();

    // Starts the virtual X server; false (with the reason) where none can start.
    bool StartDisplay(QString *why);
    // Starts the session bus and the accessibility bus launcher on it; false with the reason.
    bool StartBus(QString *why);
    // The environment of a program in this session.
    QProcessEnvironment Environment() const;
    // The accessibility bus's address, once the launcher runs.
    QString AccessibilityBusAddress() const { return m_a11yAddress; }
    QString Display() const { return m_display; }

private:
    bool Start(QProcess &process, const QString &program, const QStringList &arguments,
               QString *why);

    QTemporaryDir m_dir;
    QProcess m_x;
    QProcess m_bus;
    QProcess m_launcher;
    QString m_display;
    QString m_busAddress;
    QString m_a11yAddress;
};

} // namespace atspitest
