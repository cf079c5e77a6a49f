#include "sheet/tspropertysheetaccessible_p.h"

#include "sheet/tspropertysheet.h"

namespace {

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("CTsPropertySheet") && object && object->isWidgetType())
        return new CTsPropertySheetAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

CTsPropertySheetAccessible::CTsPropertySheetAccessible(QWidget *widget)
    : QAccessibleWidget(widget, QAccessible::Dialog)
{
}

void CTsPropertySheetAccessible::InstallFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString CTsPropertySheetAccessible::text(QAccessible::Text type) const
{
    const QString text = QAccessibleWidget::text(type);
    if (type != QAccessible::Name || !widget()->accessibleName().isEmpty())
        return text;
    const QString step = static_cast<CTsPropertySheet *>(widget())->CurrentStepTitle();
    if (step.isEmpty())
        return text;
    return text.isEmpty() ? step : CTsPropertySheet::tr("%1: %2").arg(text, step);
}
