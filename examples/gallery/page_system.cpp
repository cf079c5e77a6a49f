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

#include "gallerypage.h"
#include "help/buildnumbers.h"
#include "help/networkprobe.h"
#include "httpresponder.h"

namespace {

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
    auto *responder = new tssupport::HttpResponder;
    responder->setBody(std::string(), "text/html; charset=utf-8");
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
