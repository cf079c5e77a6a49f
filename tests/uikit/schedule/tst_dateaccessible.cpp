// What screen readers get from the date table and the picker: the table's structure, the names
// and states of its cells, and the announcements of selection changes.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QSpinBox>
#include <QTest>

#if TS_HAVE_QPA_ACCESSIBILITY
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#endif

#include "dates_support.h"
#include "datewidgettestutil.h"
#include "schedule/datepickerwidget.h"

#if !TS_HAVE_QPA_ACCESSIBILITY
class QPlatformAccessibility;
#endif

namespace {

// Events reach update handlers only while an assistive technology is listening. Qt's platform
// plug-in tells; here the platform's accessibility is switched on by hand, as Qt's own tests do.
QPlatformAccessibility *PlatformAccessibility()
{
#if TS_HAVE_QPA_ACCESSIBILITY
    return QGuiApplicationPrivate::platformIntegration()->accessibility();
#else
    return nullptr;
#endif
}

// Records the events handed to QAccessible while it lives.
class EventRecorder
{
public:
    struct Event {
        QAccessible::Event type;
        QObject *object;
        int child;
    };

    EventRecorder()
    {
        s_events.clear();
        m_previous = QAccessible::installUpdateHandler(&Record);
#if TS_HAVE_QPA_ACCESSIBILITY
        if (QPlatformAccessibility *platform = PlatformAccessibility())
            platform->setActive(true);
#endif
    }
    ~EventRecorder()
    {
#if TS_HAVE_QPA_ACCESSIBILITY
        if (QPlatformAccessibility *platform = PlatformAccessibility())
            platform->setActive(false);
#endif
        QAccessible::installUpdateHandler(m_previous);
    }

    // The recorded events of `type` about `object`, as child indexes.
    std::vector<int> Children(QAccessible::Event type, QObject *object) const
    {
        std::vector<int> children;
        for (const Event &event : s_events)
            if (event.type == type && event.object == object)
                children.push_back(event.child);
        return children;
    }
    void Clear() { s_events.clear(); }

private:
    static void Record(QAccessibleEvent *event)
    {
        s_events.push_back({event->type(), event->object(), event->child()});
    }

    static std::vector<Event> s_events;
    QAccessible::UpdateHandler m_previous;
};

std::vector<EventRecorder::Event> EventRecorder::s_events;

constexpr int Headers = 7;

int Index(int row, int column)
{
    return Headers + row * 7 + column;
}

} // namespace

TEST(DateTableAccessibility, TableWithColumnHeadersAndCells)
{
    CDateTableWidget table(tstest::EnglishDays());
    table.SetDay(2, 3, 15);
    table.SetDay(2, 4, 16);
    table.SetSelection(2, 3);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&table);
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    QAccessibleTableInterface *grid = iface->tableInterface();
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->rowCount(), 6);
    EXPECT_EQ(grid->columnCount(), 7);
    EXPECT_EQ(iface->childCount(), Headers + 42);
    EXPECT_EQ(grid->columnDescription(3), QStringLiteral("Wednesday"));

    for (int k = 0; k < 7; ++k) {
        QAccessibleInterface *header = iface->child(k);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(header->text(QAccessible::Name), QStringFromWString(tstest::EnglishDays()[size_t(k)]));
        EXPECT_EQ(header->parent(), iface);
        EXPECT_EQ(iface->indexOfChild(header), k);
    }

    const struct {
        int row, column;
        QString name;
        bool selectable, selected;
    } rows[] = {
        {2, 3, QStringLiteral("15"), true, true},
        {2, 4, QStringLiteral("16"), true, false},
        {0, 0, QString(), false, false}, // empty cell
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        QAccessibleInterface *cell = grid->cellAt(row.row, row.column);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell, iface->child(Index(row.row, row.column)));
        EXPECT_EQ(cell->role(), QAccessible::Cell);
        EXPECT_EQ(cell->text(QAccessible::Name), row.name);
        EXPECT_EQ(bool(cell->state().selectable), row.selectable);
        EXPECT_EQ(bool(cell->state().selected), row.selected);
        QAccessibleTableCellInterface *tableCell = cell->tableCellInterface();
        ASSERT_TRUE(tableCell);
        EXPECT_EQ(tableCell->rowIndex(), row.row);
        EXPECT_EQ(tableCell->columnIndex(), row.column);
        EXPECT_EQ(tableCell->isSelected(), row.selected);
        ASSERT_EQ(tableCell->columnHeaderCells().size(), 1);
        EXPECT_EQ(tableCell->columnHeaderCells().first(), iface->child(row.column));
        EXPECT_EQ(tableCell->table(), iface);
    }
    EXPECT_EQ(grid->selectedCellCount(), 1);
    EXPECT_EQ(grid->selectedCells().value(0), grid->cellAt(2, 3));
    EXPECT_EQ(iface->indexOfChild(grid->cellAt(2, 4)), Index(2, 4));
    QWidget stranger;
    EXPECT_EQ(iface->indexOfChild(QAccessible::queryAccessibleInterface(&stranger)), -1);
    EXPECT_EQ(grid->cellAt(6, 0), nullptr);
    EXPECT_EQ(grid->cellAt(0, 7), nullptr);

    // A cell's place on screen is where the table draws it, and finds it back.
    table.resize(tstest::Hint(table));
    table.show();
    const QRect onScreen(table.mapToGlobal(tstest::CellRect(table, 2, 4).topLeft()),
                         tstest::CellRect(table, 2, 4).size());
    EXPECT_EQ(grid->cellAt(2, 4)->rect(), onScreen);
    EXPECT_EQ(iface->childAt(onScreen.center().x(), onScreen.center().y()), grid->cellAt(2, 4));
}

TEST(DateTableAccessibility, SelectionChangesAreAnnounced)
{
    CDateTableWidget table(tstest::EnglishDays());
    for (int day = 1; day <= 10; ++day)
        table.SetDay((day + 2) / 7, (day + 2) % 7, day);
    table.resize(tstest::Hint(table));
    table.show();
    if (!PlatformAccessibility())
        GTEST_SKIP() << "no platform accessibility to switch on";
    EventRecorder recorder;
    ASSERT_TRUE(QAccessible::isActive());

    const struct {
        const char *what;
        std::function<void()> act;
        std::vector<int> selected;
        std::vector<int> removed;
    } rows[] = {
        {"SetSelection", [&] { table.SetSelection(0, 3); }, {Index(0, 3)}, {}},
        {"SetSelection of the same cell", [&] { table.SetSelection(0, 3); }, {}, {}},
        {"a click", [&] { tstest::ClickCell(&table, 1, 2); }, {Index(1, 2)}, {Index(0, 3)}},
        {"a key", [&] { QTest::keyClick(&table, Qt::Key_Left); }, {Index(1, 1)}, {Index(1, 2)}},
        {"a key that cannot move", [&] { QTest::keyClick(&table, Qt::Key_Down); }, {}, {}},
        {"ClearDay of the selection", [&] { table.ClearDay(1, 1); }, {}, {Index(1, 1)}},
        {"ClearAllDays", [&] {
             table.SetSelection(0, 4);
             recorder.Clear();
             table.ClearAllDays();
         }, {}, {Index(0, 4)}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        recorder.Clear();
        row.act();
        EXPECT_EQ(recorder.Children(QAccessible::Selection, &table), row.selected);
        EXPECT_EQ(recorder.Children(QAccessible::SelectionRemove, &table), row.removed);
    }

    // With the focus in the table, the newly selected cell has it too.
    table.SetDay(0, 0, 1);
    table.setFocus();
    QApplication::setActiveWindow(&table);
    recorder.Clear();
    table.SetSelection(0, 0);
    ASSERT_TRUE(table.hasFocus());
    EXPECT_EQ(recorder.Children(QAccessible::Focus, &table), std::vector<int>{Index(0, 0)});
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&table);
    EXPECT_EQ(iface->focusChild(), iface->child(Index(0, 0)));
    EXPECT_TRUE(iface->child(Index(0, 0))->state().focused);
}

TEST(DatePickerAccessibility, CellsSayTheirDateAndToday)
{
    tstest::FixedClock clock(tstest::Make(2009, 3, 18, 12));
    CDatePickerWidget picker(tstest::EnglishDays(), tstest::EnglishMonths(), QDate(2009, 3, 15));
    auto *table = picker.findChild<CDateTableWidget *>(QStringLiteral("daysTable"));
    ASSERT_TRUE(table);
    EXPECT_EQ(picker.findChild<QComboBox *>(QStringLiteral("monthComboBox"))->accessibleName(),
              QStringLiteral("Month"));
    EXPECT_EQ(picker.findChild<QSpinBox *>(QStringLiteral("yearSpinBox"))->accessibleName(),
              QStringLiteral("Year"));
    QAccessibleTableInterface *grid = QAccessible::queryAccessibleInterface(table)->tableInterface();
    ASSERT_TRUE(grid);

    const struct {
        int row, column;
        const char *name;
        const char *description;
    } rows[] = {
        {2, 0, "Sunday, 15 March 2009", ""},
        {2, 3, "Wednesday, 18 March 2009", "Today"},
        {0, 0, "Sunday, 1 March 2009", ""},
        {4, 2, "Tuesday, 31 March 2009", ""},
        {4, 3, "", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QAccessibleInterface *cell = grid->cellAt(row.row, row.column);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->text(QAccessible::Name), QString::fromUtf8(row.name));
        EXPECT_EQ(cell->text(QAccessible::Description), QString::fromUtf8(row.description));
    }
    EXPECT_TRUE(grid->cellAt(2, 0)->state().selected);

    // The names follow the month shown, the table's own year included when the box holds a limit.
    picker.SetDate(QDate(3500, 1, 1));
    EXPECT_EQ(grid->cellAt(0, QDate(3500, 1, 1).dayOfWeek() % 7)->text(QAccessible::Name),
              QStringLiteral("%1, 1 January 3500")
                  .arg(QStringFromWString(tstest::EnglishDays()[size_t(QDate(3500, 1, 1).dayOfWeek() % 7)])));
}
