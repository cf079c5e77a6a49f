// "System": the LocalHelp switch and the build numbers from the gallery's registry file, and a
// connectivity probe. The address field starts on a responder of the page's own on 127.0.0.1, so
// that a screenshot run contacts nothing else. There is deliberately no shutdown button: the
// gallery must never be able to switch off the machine it runs on.
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "gallerypage.h"
#include "help/buildnumbers.h"
#include "help/networkprobe.h"

namespace {

// Answers every request on 127.0.0.1 with an empty 200 page, on a thread of its own: the probe
// blocks the GUI thread while it waits.
class LocalResponder
{
public:
    LocalResponder()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof addr;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
            || ::listen(m_socket, 8) != 0
            || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&addr), &size) != 0)
            return;
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread(&LocalResponder::Serve, this);
    }
    ~LocalResponder()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_socket >= 0)
            ::close(m_socket);
    }
    int port() const { return m_port; }

private:
    void Serve()
    {
        while (!m_stop) {
            pollfd p{m_socket, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const int client = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            char buffer[4096];
            pollfd c{client, POLLIN, 0};
            if (::poll(&c, 1, 1000) > 0 && ::recv(client, buffer, sizeof buffer, 0) > 0) {
                static const char reply[] = "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n";
                (void)!::send(client, reply, sizeof reply - 1, MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }

    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

QString BuildText(long (*read)(long &))
{
    long build = 0;
    const long status = read(build);
    return status == S_OK ? QString::number(build)
                          : QStringLiteral("none (0x%1)").arg(quint32(status), 8, 16, QLatin1Char('0'));
}

QWidget *MakeSystemPage()
{
    auto *page = new QWidget;
    auto *responder = new LocalResponder;
    QObject::connect(page, &QObject::destroyed, [responder] { delete responder; });
    auto *layout = new QVBoxLayout(page);

    auto *registryBox = new QGroupBox(QStringLiteral("Registry"));
    registryBox->setObjectName(QStringLiteral("registryBox"));
    auto *form = new QFormLayout(registryBox);
    auto *file = new QLabel(QString::fromLocal8Bit(qgetenv("TS_REGISTRY_FILE")));
    file->setObjectName(QStringLiteral("registryFile"));
    file->setWordWrap(true);
    file->setTextFormat(Qt::PlainText);
    auto *localHelp = new QLabel(IsNetwokOverrideLocal() ? QStringLiteral("on: help is taken from the local installation")
                                                         : QStringLiteral("off"));
    localHelp->setObjectName(QStringLiteral("localHelp"));
    auto *product = new QLabel(BuildText(&GetTessaroBuildNumber));
    product->setObjectName(QStringLiteral("productBuild"));
    auto *console = new QLabel(BuildText(&GetTsConsoleBuildNumber));
    console->setObjectName(QStringLiteral("consoleBuild"));
    form->addRow(QStringLiteral("Registry file:"), file);
    form->addRow(QStringLiteral("LocalHelp:"), localHelp);
    form->addRow(QStringLiteral("Product build:"), product);
    form->addRow(QStringLiteral("Console build:"), console);
    layout->addWidget(registryBox);

    auto *probeBox = new QGroupBox(QStringLiteral("Connectivity"));
    probeBox->setObjectName(QStringLiteral("probeBox"));
    auto *probeLayout = new QVBoxLayout(probeBox);
    auto *row = new QHBoxLayout;
    auto *address = new QLineEdit(QStringLiteral("127.0.0.1:%1/").arg(responder->port()));
    address->setObjectName(QStringLiteral("address"));
    auto *probe = new QPushButton(QStringLiteral("Probe"));
    probe->setObjectName(QStringLiteral("probe"));
    row->addWidget(address, 1);
    row->addWidget(probe);
    auto *answer = new QLabel(QStringLiteral("Not probed yet."));
    answer->setObjectName(QStringLiteral("probeAnswer"));
    answer->setTextFormat(Qt::PlainText);
    probeLayout->addLayout(row);
    probeLayout->addWidget(answer);
    layout->addWidget(probeBox);
    layout->addStretch(1);

    QObject::connect(probe, &QPushButton::clicked, answer, [address, answer] {
        const QString text = address->text();
        const bool reachable = IsNetwokConnectedUrl(WStringFromQString(text));
        answer->setText(QStringLiteral("IsNetwokConnectedUrl(\"%1\"): %2")
                            .arg(text, reachable ? QStringLiteral("true, a server answered")
                                                                 : QStringLiteral("false")));
    });
    return page;
}

// After a probe of the page's own responder.
void ShootAfterProbe(QWidget *page, const gallery::Shoot &shoot)
{
    if (auto *probe = page->findChild<QPushButton *>(QStringLiteral("probe")))
        probe->click();
    shoot(QStringLiteral("probed"), page);
}

} // namespace

TS_GALLERY_PAGE(70, "System", MakeSystemPage, ShootAfterProbe)
