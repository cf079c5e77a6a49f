// One cell of a date table for screen readers: a column header (row -1) or a day cell, which
// reads the table's state each time it is asked. Internal to the library.
#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class CDateTableWidget;

class CDateTableCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    CDateTableCellAccessible(CDateTableWidget *table, int row, int column);

    // QAccessibleInterface
    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override;
    QList<QAccessibleInterface *> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override;
    int rowExtent() const override;
    QAccessibleInterface *table() const override;

private:
    bool IsHeader() const;
    bool HoldsDay(int *day) const;

    QPointer<CDateTableWidget> m_table;
    int m_row;
    int m_column;
};
