#include "schedule/datetablewidget.h"

#include "schedule/datetableaccessible_p.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>

namespace {

constexpr int Rows = 6;
constexpr int Columns = 7;

const QColor HeaderFill(0, 0, 255);
const QColor HeaderText(255, 255, 255);
const QColor SelectedText(255, 255, 255);

} // namespace

CDateTableWidget::CDateTableWidget(const std::vector<WString> &dayNames, QWidget *parent,
                                   Qt::WindowFlags flags)
    : QWidget(parent, flags), m_dayNames(dayNames), m_currentRow(-1), m_currentColumn(-1)
{
    CDateTableAccessible::InstallFactory();
    CalculateSizes();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setBackgroundRole(QPalette::Window);
    setFocusPolicy(Qt::StrongFocus);
}

CDateTableWidget::~CDateTableWidget() = default;

int CDateTableWidget::rowCount() const
{
    return Rows;
}

int CDateTableWidget::columnCount() const
{
    return Columns;
}

int CDateTableWidget::currentRow() const
{
    return m_currentRow;
}

int CDateTableWidget::currentColumn() const
{
    return m_currentColumn;
}

void CDateTableWidget::SetDay(int row, int column, int day)
{
    const auto key = std::make_pair(row, column);
    auto it = m_days.find(key);
    if (it != m_days.end()) {
        it->second.day = day;
    } else {
        const QPalette palette;
        DayCell cell;
        cell.day = day;
        cell.foreground = palette.color(QPalette::Active, QPalette::WindowText);
        cell.background = palette.color(QPalette::Active, QPalette::Base);
        m_days.emplace(key, cell);
    }
    update();
}

void CDateTableWidget::SetForegroundColor(int row, int column, const QColor &color)
{
    auto it = m_days.find(std::make_pair(row, column));
    if (it == m_days.end())
        return;
    it->second.foreground = color;
    update();
}

void CDateTableWidget::SetBackgroundColor(int row, int column, const QColor &color)
{
    auto it = m_days.find(std::make_pair(row, column));
    if (it == m_days.end())
        return;
    it->second.background = color;
    update();
}

void CDateTableWidget::ClearDay(int row, int column)
{
    if (row == m_currentRow && column == m_currentColumn)
        Select(-1, -1);
    m_days.erase(std::make_pair(row, column));
    update();
}

void CDateTableWidget::ClearAllDays()
{
    m_days.clear();
    Select(-1, -1);
    update();
}

void CDateTableWidget::SetSelection(int row, int column)
{
    if (m_days.find(std::make_pair(row, column)) == m_days.end())
        return;
    Select(row, column);
    update();
}

int CDateTableWidget::GetDay(int row, int column, bool *exists) const
{
    const auto it = m_days.find(std::make_pair(row, column));
    if (exists)
        *exists = it != m_days.end();
    return it == m_days.end() ? -1 : it->second.day;
}

QSize CDateTableWidget::sizeHint() const
{
    return m_sizeHint;
}

void CDateTableWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            if (m_days.count(std::make_pair(row, column)) == 0
                || !CellRect(row, column).contains(event->pos()))
                continue;
            Select(row, column);
            emit itemSelectionChanged();
            update();
            return;
        }
    }
}

void CDateTableWidget::keyPressEvent(QKeyEvent *event)
{
    // Accepted whatever happens: the keys stay with the table.
    event->accept();
    if (m_currentRow == -1 && m_currentColumn == -1)
        return;
    int row = m_currentRow;
    int column = m_currentColumn;
    switch (event->key()) {
    case Qt::Key_Left:
        --column;
        break;
    case Qt::Key_Right:
        ++column;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    default:
        break;
    }
    if (m_days.count(std::make_pair(row, column)) == 0)
        return;
    Select(row, column);
    emit itemSelectionChanged();
    update();
}

void CDateTableWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette palette; // the application's, not the widget's own
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;

    const QFont normal = painter.font();
    QFont bold = normal;
    bold.setBold(true);
    painter.setFont(bold);
    for (int k = 0; k < int(m_dayNames.size()); ++k) {
        const QRect rect = HeaderRect(k);
        painter.fillRect(rect, HeaderFill);
        painter.setPen(HeaderText);
        painter.drawText(rect, flags, QStringFromWString(m_dayNames[size_t(k)]));
    }
    painter.setFont(normal);

    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            const QRect rect = CellRect(row, column);
            const auto it = m_days.find(std::make_pair(row, column));
            if (it == m_days.end()) {
                painter.fillRect(rect, palette.color(QPalette::Active, QPalette::Base));
                continue;
            }
            const bool selected = row == m_currentRow && column == m_currentColumn;
            painter.fillRect(rect, selected ? palette.color(QPalette::Active, QPalette::Highlight)
                                            : it->second.background);
            painter.setPen(selected ? SelectedText : it->second.foreground);
            painter.drawText(rect, flags, tr("%1").arg(it->second.day));
        }
    }
}

void CDateTableWidget::CalculateSizes()
{
    // The header is measured in the normal weight although it is drawn bold, and the day numbers
    // not at all: the names are the widest texts.
    const QFontMetrics metrics(font());
    QSize largest(0, 0);
    for (const WString &name : m_dayNames) {
        const QSize size = metrics.size(Qt::TextSingleLine, QStringFromWString(name));
        largest = largest.expandedTo(size);
    }
    m_cellSize = largest + QSize(10, 4);
    m_sizeHint = QSize(m_cellSize.width() * Columns + 2, m_cellSize.height() * (Rows + 1) + 4);
}

QRect CDateTableWidget::HeaderRect(int column) const
{
    return QRect(QPoint(column * m_cellSize.width(), 0), m_cellSize);
}

QRect CDateTableWidget::CellRect(int row, int column) const
{
    return QRect(QPoint(column * m_cellSize.width(), (row + 1) * m_cellSize.height()), m_cellSize);
}

void CDateTableWidget::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    // Qt tells screen readers of the table itself after this handler; the selected day follows, so
    // that Tab into the table is heard as the day.
    QMetaObject::invokeMethod(this, [this]() { CDateTableAccessible::AnnounceFocus(this); },
                              Qt::QueuedConnection);
}

// The one place the selection changes, so that screen readers hear of every change.
void CDateTableWidget::Select(int row, int column)
{
    if (row == m_currentRow && column == m_currentColumn)
        return;
    const int oldRow = m_currentRow;
    const int oldColumn = m_currentColumn;
    m_currentRow = row;
    m_currentColumn = column;
    CDateTableAccessible::AnnounceSelection(this, oldRow, oldColumn, row, column);
}
