// What screen readers see of a date table: a table of 6 x 7 day cells under 7 column headers.
// Internal to the library.
#pragma once

#include <QAccessibleWidget>
#include <vector>

class CDateTableWidget;

class CDateTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit CDateTableAccessible(QWidget *widget);
    ~CDateTableAccessible() override;

    // Makes date tables known to QAccessible; run by every table's constructor, acts once.
    static void InstallFactory();
    // Tells screen readers that the selection moved from one cell to another; (-1, -1) is none.
    static void AnnounceSelection(CDateTableWidget *table, int oldRow, int oldColumn, int row,
                                  int column);
    // Puts the screen reader's focus on the selected cell, when the table has the keyboard focus.
    static void AnnounceFocus(CDateTableWidget *table);
    // The child index of a day cell, or -1 for a cell outside the grid.
    static int ChildIndex(int row, int column);

    // QAccessibleInterface
    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override;
    QAccessibleInterface *summary() const override;
    QAccessibleInterface *cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

    CDateTableWidget *Table() const;
    // The column header's interface.
    QAccessibleInterface *HeaderAt(int column) const;

private:
    // Children are made on first use and kept, so that their ids stay the same.
    mutable std::vector<QAccessible::Id> m_childIds;
};
