// What screen readers are told of a property sheet. Internal to the library.
#pragma once

#include <QAccessibleWidget>

// A sheet in wizard mode is named by its window title and the title of the step it shows, so that
// a step change is heard as a change of the dialog's name.
class CTsPropertySheetAccessible : public QAccessibleWidget
{
public:
    explicit CTsPropertySheetAccessible(QWidget *widget);

    // Makes property sheets known to QAccessible; run by every sheet's constructor, acts once.
    static void InstallFactory();

    QString text(QAccessible::Text type) const override;
};
