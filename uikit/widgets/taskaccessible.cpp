#include "widgets/taskaccessible_p.h"

#include <QAbstractButton>

#include "widgets/collapsiblepanel.h"
#include "widgets/tsbutton.h"

namespace {

QAccessibleInterface *TaskButtonFactory(const QString &, QObject *object)
{
    // CTsButton has no meta-object of its own, so the class name asked about is QPushButton's.
    auto *button = dynamic_cast<CTsButton *>(object);
    return button ? new CTaskButtonAccessible(button) : nullptr;
}

} // namespace

namespace tsuikit {

void InstallTaskAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(TaskButtonFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString StripMnemonics(const QString &text)
{
    QString plain;
    plain.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            ++i;
            if (i == text.size())
                break;
        }
        plain += text.at(i);
    }
    return plain;
}

} // namespace tsuikit

CTaskButtonAccessible::CTaskButtonAccessible(QWidget *widget)
    : QAccessibleWidget(widget, QAccessible::Button)
{
}

QAbstractButton *CTaskButtonAccessible::button() const
{
    return static_cast<QAbstractButton *>(widget());
}

int CTaskButtonAccessible::HeaderState() const
{
    for (QWidget *up = widget()->parentWidget(); up; up = up->parentWidget())
        if (auto *panel = qobject_cast<CCollapsiblePanel *>(up))
            return panel->HeaderState(widget());
    return -1;
}

QString CTaskButtonAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Name) {
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? tsuikit::StripMnemonics(button()->text()) : name;
    }
    return QAccessibleWidget::text(type);
}

QAccessible::State CTaskButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const int header = HeaderState();
    if (header >= 0) {
        state.expandable = true;
        state.expanded = header == 1;
        state.collapsed = header == 0;
        // Also a toggle whose checked state is the expanded one: Qt's bridge to the Linux bus
        // forwards changes of "checked" and drops those of "expanded".
        state.checkable = true;
        state.checked = header == 1;
    }
    return state;
}

QStringList CTaskButtonAccessible::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled())
        names << pressAction();
    return names << QAccessibleWidget::actionNames();
}

void CTaskButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && widget()->isEnabled())
        emit button()->clicked(false);
    else
        QAccessibleWidget::doAction(actionName);
}
