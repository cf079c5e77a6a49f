// Message boxes over QMessageBox.
#include "tsw/user.h"

#include "ownerwidget_p.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QWidget>

#include <utility>
#include <vector>

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return 0;
    // On the heap and watched: the box becomes the owner's child, and an owner destroyed while the
    // box is open takes the box with it.
    QPointer<QMessageBox> box = new QMessageBox(tsplatform::OwnerWidget(owner));
    const auto release = qScopeGuard([&box] { delete box.data(); });
    box->setObjectName(QStringLiteral("tsMessageBox"));
    box->setWindowTitle(caption ? QString::fromUtf16(caption) : QString());
    box->setText(text ? QString::fromUtf16(text) : QString());
    box->setTextFormat(Qt::PlainText);
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: box->setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box->setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box->setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box->setIcon(QMessageBox::Information); break;
    default: break;
    }

    std::vector<std::pair<QAbstractButton *, int>> buttons;
    auto add = [&](QMessageBox::StandardButton b, int id) { buttons.emplace_back(box->addButton(b), id); };
    int cancelId = 0;
    switch (type & MB_TYPEMASK) {
    case MB_OK: add(QMessageBox::Ok, IDOK); cancelId = IDOK; break;
    case MB_OKCANCEL: add(QMessageBox::Ok, IDOK); add(QMessageBox::Cancel, IDCANCEL); cancelId = IDCANCEL; break;
    case MB_ABORTRETRYIGNORE:
        add(QMessageBox::Abort, IDABORT); add(QMessageBox::Retry, IDRETRY); add(QMessageBox::Ignore, IDIGNORE);
        break;
    case MB_YESNOCANCEL:
        add(QMessageBox::Yes, IDYES); add(QMessageBox::No, IDNO); add(QMessageBox::Cancel, IDCANCEL);
        cancelId = IDCANCEL;
        break;
    case MB_YESNO: add(QMessageBox::Yes, IDYES); add(QMessageBox::No, IDNO); break;
    case MB_RETRYCANCEL: add(QMessageBox::Retry, IDRETRY); add(QMessageBox::Cancel, IDCANCEL); cancelId = IDCANCEL; break;
    case MB_CANCELTRYCONTINUE:
        add(QMessageBox::Cancel, IDCANCEL);
        buttons.emplace_back(box->addButton(QMessageBox::tr("&Try Again"), QMessageBox::AcceptRole), IDTRYAGAIN);
        buttons.emplace_back(box->addButton(QMessageBox::tr("&Continue"), QMessageBox::AcceptRole), IDCONTINUE);
        cancelId = IDCANCEL;
        break;
    default:
        return 0;
    }
    const std::size_t def = (type & MB_DEFMASK) >> 8;
    const std::size_t defIndex = def < buttons.size() ? def : 0;
    if (auto *push = qobject_cast<QPushButton *>(buttons[defIndex].first))
        box->setDefaultButton(push);
    for (const auto &b : buttons) {
        if (b.second == cancelId)
            box->setEscapeButton(b.first);
    }
    if (type & (MB_SYSTEMMODAL | MB_TOPMOST))
        box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->setWindowModality(owner && box->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    box->exec();
    // The owner went away with the box: nobody answered, so report no answer, as for a failure.
    if (!box)
        return 0;
    for (const auto &b : buttons) {
        if (b.first == box->clickedButton())
            return b.second;
    }
    // Closed without a button: Cancel where there is one, else the default button.
    return cancelId ? cancelId : buttons[defIndex].second;
}
