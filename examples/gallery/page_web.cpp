// "Web": the embedded browser and the choice of page. With the LocalHelp switch (on in the
// gallery's registry) the product's local page is shown whatever the address; without it, the
// address when it answers. The address starts on a web server of the page's own on 127.0.0.1, so
// that nothing else is contacted unless the user types another address.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gallerypage.h"
#include "help/htmlaxwidget.h"
#include "help/htmlpageupdate.h"
#include "help/networkprobe.h"
#include "httpresponder.h"

namespace {

QWidget *MakeWebPage()
{
    auto *page = new QWidget;
    auto *responder = new tssupport::HttpResponder;
    responder->setBody("<html><body style='font-family:sans-serif'><h2>Served by the gallery on 127.0.0.1</h2>"
                       "<p>The address answered, so the browser shows it.</p></body></html>",
                       "text/html; charset=utf-8");
    QObject::connect(page, &QObject::destroyed, [responder] { delete responder; });
    auto *layout = new QVBoxLayout(page);

    auto *row = new QHBoxLayout;
    auto *address = new QLineEdit(QStringLiteral("http://127.0.0.1:%1/").arg(responder->port()));
    address->setObjectName(QStringLiteral("address"));
    auto *ccPage = new QCheckBox(QStringLiteral("Console page"));
    ccPage->setObjectName(QStringLiteral("ccPage"));
    auto *go = new QPushButton(QStringLiteral("Go"));
    go->setObjectName(QStringLiteral("go"));
    row->addWidget(new QLabel(QStringLiteral("Address:")));
    row->addWidget(address, 1);
    row->addWidget(ccPage);
    row->addWidget(go);
    layout->addLayout(row);

    auto *localHelp = new QLabel(IsNetwokOverrideLocal()
                                     ? QStringLiteral("LocalHelp is on: the local page is shown for any address.")
                                     : QStringLiteral("LocalHelp is off: the address is shown when it answers."));
    localHelp->setObjectName(QStringLiteral("localHelpState"));
    layout->addWidget(localHelp);

    auto *browser = new CHtmlAxWidget;
    browser->setObjectName(QStringLiteral("browser"));
    browser->setMinimumSize(400, 300);
    layout->addWidget(browser, 1);
    auto *location = new QLabel(QStringLiteral("Loading\u2026"));
    location->setObjectName(QStringLiteral("location"));
    location->setTextFormat(Qt::PlainText);
    layout->addWidget(location);

    QObject::connect(browser, &QAxWidget::documentComplete, page, [page, location](const QString &url) {
        location->setText(QStringLiteral("Shown: ") + url);
        page->setProperty("galleryLoading", false);
    });
    const auto update = [browser, address, ccPage] {
        HtmlPageUpdate(browser, WStringFromQString(address->text()), ccPage->isChecked());
    };
    QObject::connect(go, &QPushButton::clicked, page, update);
    QObject::connect(address, &QLineEdit::returnPressed, page, update);
    if (!browser->isNull()) {
        page->setProperty("galleryLoading", true);
        update();
    } else {
        location->setText(QStringLiteral("The browser control could not be created."));
    }
    page->resize(820, 560);
    return page;
}

// The console's local page (the address field unchanged).
void ShootConsolePage(QWidget *page, const gallery::Shoot &shoot)
{
    auto *ccPage = page->findChild<QCheckBox *>(QStringLiteral("ccPage"));
    auto *go = page->findChild<QPushButton *>(QStringLiteral("go"));
    auto *browser = page->findChild<CHtmlAxWidget *>(QStringLiteral("browser"));
    if (!ccPage || !go || !browser || browser->isNull())
        return;
    ccPage->setChecked(true);
    page->setProperty("galleryLoading", true);
    go->click();
    shoot(QStringLiteral("console-page"), page);
}

} // namespace

TS_GALLERY_PAGE(81, "Web", MakeWebPage, ShootConsolePage)
