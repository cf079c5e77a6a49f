// What screen readers are told about task buttons and panel headers. Internal to the library.
#pragma once

#include <QAccessibleWidget>

class QAbstractButton;

namespace tsuikit {

// Installs the factory of CTaskButtonAccessible once per process.
void InstallTaskAccessibleFactory();

// `text` without mnemonic marks: "&&" reads as "&", a single "&" disappears.
QString StripMnemonics(const QString &text);

} // namespace tsuikit

// A task button (CTsButton) seen by assistive technology: a button named by its caption without
// mnemonic marks, pressable; a collapsible panel's header also reports itself as expandable and as
// expanded or collapsed, and as a toggle checked while expanded. Qt's own button interface knows
// nothing of the header state.
class CTaskButtonAccessible : public QAccessibleWidget
{
public:
    explicit CTaskButtonAccessible(QWidget *widget);

    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QAbstractButton *button() const;
    // -1 when the button heads no section of a CCollapsiblePanel, else 0 (collapsed) or 1 (expanded).
    int HeaderState() const;
};
