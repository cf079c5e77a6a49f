#include "schedule/datepickerwidget.h"

#include "schedule/datetablewidget.h"

#include <QAccessible>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

constexpr int FirstYear = 1000;
constexpr int LastYear = 3000;
const QColor TodayText(255, 0, 0);

// Today by the system's clock as the platform layer reads it, so that a fixed clock holds here too.
QDate Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return QDate(now.wYear, now.wMonth, now.wDay);
}

} // namespace

CDatePickerWidget::CDatePickerWidget(const std::vector<WString> &dayNames,
                                     const std::vector<WString> &monthNames, const QDate &date,
                                     QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags),
      m_monthCombobox(nullptr),
      m_yearSpinBox(nullptr),
      m_daysTable(nullptr),
      m_dayNames(dayNames),
      m_monthNames(monthNames),
      m_date(date)
{
    CreateControls();
    CreateLayout();
    // An invalid date has no month to show: today's is shown, with no day selected.
    const QDate shown = m_date.isValid() ? m_date : Today();
    FillControls(shown.year(), shown.month());
    // Connected last, so that construction emits nothing.
    connect(m_monthCombobox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CDatePickerWidget::OnMonthComboboxSelectionChanged);
    connect(m_yearSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &CDatePickerWidget::OnYearSpinBoxValueChanged);
    connect(m_daysTable, &CDateTableWidget::itemSelectionChanged, this,
            &CDatePickerWidget::OnDaysTableItemSelectionChanged);
}

CDatePickerWidget::~CDatePickerWidget() = default;

const QDate &CDatePickerWidget::GetDate() const
{
    return m_date;
}

void CDatePickerWidget::SetDate(const QDate &date)
{
    m_date = date;
    const QDate shown = date.isValid() ? date : Today();
    // Each box that changes runs its slot as a user's change would.
    m_monthCombobox->setCurrentIndex(shown.month() - 1);
    m_yearSpinBox->setValue(shown.year());
    if (!date.isValid()) {
        // No day is kept from the previous month, nor taken from what the slots picked.
        m_date = date;
        m_daysTable->ClearAllDays();
    }
    UpdateDaysTable(shown.year(), shown.month());
    if (date.isValid()) {
        bool found = false;
        for (int row = 0; row < m_daysTable->rowCount() && !found; ++row) {
            for (int column = 0; column < m_daysTable->columnCount() && !found; ++column) {
                if (m_daysTable->GetDay(row, column, nullptr) == date.day()) {
                    m_daysTable->SetSelection(row, column);
                    found = true;
                }
            }
        }
    }
    m_date = date;
}

void CDatePickerWidget::OnMonthComboboxSelectionChanged(int index)
{
    if (index == -1)
        return;
    const int month = index + 1;
    const int year = m_yearSpinBox->value();
    UpdateDaysTable(year, month);
    const int day = GetDayFromTable();
    if (day < 1)
        return;
    m_date = QDate(year, month, day);
    emit DatePicked();
}

void CDatePickerWidget::OnYearSpinBoxValueChanged(int value)
{
    const int index = m_monthCombobox->currentIndex();
    const int month = index == -1 ? 1 : index + 1;
    UpdateDaysTable(value, month);
    const int day = GetDayFromTable();
    if (day <= 0)
        return;
    m_date = QDate(value, month, day);
    emit DatePicked();
}

void CDatePickerWidget::OnDaysTableItemSelectionChanged()
{
    const int day = GetDayFromTable();
    if (day < 1)
        return;
    const int year = m_yearSpinBox->value();
    const int month = m_monthCombobox->currentIndex() + 1;
    if (month < 1 || month > 12)
        return;
    m_date = QDate(year, month, day);
    emit DatePicked();
}

void CDatePickerWidget::CreateControls()
{
    m_monthCombobox = new QComboBox(this);
    m_monthCombobox->setObjectName(QStringLiteral("monthComboBox"));
    m_monthCombobox->setEditable(false);
    m_monthCombobox->setAccessibleName(tr("Month"));
    m_yearSpinBox = new QSpinBox(this);
    m_yearSpinBox->setObjectName(QStringLiteral("yearSpinBox"));
    m_yearSpinBox->setAccessibleName(tr("Year"));
    // On Linux a combo box is named by its current item and a screen reader finds what it chooses
    // through a label: hidden ones, since the boxes show no label.
    for (QWidget *box : {static_cast<QWidget *>(m_monthCombobox), static_cast<QWidget *>(m_yearSpinBox)}) {
        auto *label = new QLabel(box->accessibleName(), this);
        label->setBuddy(box);
        label->hide();
    }
    m_daysTable = new CDateTableWidget(m_dayNames, this);
    m_daysTable->setObjectName(QStringLiteral("daysTable"));
}

void CDatePickerWidget::CreateLayout()
{
    auto *layout = new QGridLayout(this);
    layout->addWidget(m_monthCombobox, 0, 0);
    layout->addWidget(m_yearSpinBox, 0, 1);
    layout->addWidget(m_daysTable, 1, 0, 1, 2);
    setTabOrder(m_monthCombobox, m_yearSpinBox);
    setTabOrder(m_yearSpinBox, m_daysTable);
}

void CDatePickerWidget::FillControls(int year, int month)
{
    // A short list would leave months out of reach: those are shown by number.
    for (int i = 0; i < 12; ++i) {
        m_monthCombobox->addItem(size_t(i) < m_monthNames.size()
                                     ? QStringFromWString(m_monthNames[size_t(i)])
                                     : QString::number(i + 1));
    }
    m_monthCombobox->setCurrentIndex(month >= 1 && month <= 12 ? month - 1 : -1);
    m_yearSpinBox->setRange(FirstYear, LastYear);
    m_yearSpinBox->setValue(year);
    UpdateDaysTable(year, month);
}

void CDatePickerWidget::UpdateDaysTable(int year, int month)
{
    bool hadSelection = false;
    const int previousDay =
        m_daysTable->GetDay(m_daysTable->currentRow(), m_daysTable->currentColumn(), &hadSelection);
    m_daysTable->ClearAllDays();
    const QDate first(year, month, 1);
    if (!first.isValid())
        return;
    const QDate today = Today();
    const int days = first.daysInMonth();
    int row = 0;
    bool selected = false;
    for (int i = 1; i <= days; ++i) {
        const QDate date(year, month, i);
        const int column = date.dayOfWeek() % 7; // Sunday = 0
        m_daysTable->SetDay(row, column, i);
        if (date == today)
            m_daysTable->SetForegroundColor(row, column, TodayText);
        if ((hadSelection && i == previousDay) || (!hadSelection && date == m_date)) {
            m_daysTable->SetSelection(row, column);
            selected = true;
        }
        // A day past the end of this month becomes its last day.
        if (hadSelection && i == days && !selected) {
            m_daysTable->SetSelection(row, column);
            selected = true;
        }
        if (column == 6)
            ++row;
    }
    // The table's name says the month it shows.
    QAccessibleEvent renamed(m_daysTable, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

int CDatePickerWidget::GetDayFromTable() const
{
    bool exists = false;
    const int day =
        m_daysTable->GetDay(m_daysTable->currentRow(), m_daysTable->currentColumn(), &exists);
    return exists ? day : -1;
}

int CDatePickerWidget::ShownYear() const
{
    const int month = m_monthCombobox->currentIndex() + 1;
    const int year = m_yearSpinBox->value();
    // A year beyond the box's range is shown by the table only; the box holds the limit.
    if (m_date.isValid() && m_date.month() == month
        && qBound(FirstYear, m_date.year(), LastYear) == year)
        return m_date.year();
    return year;
}

QString CDatePickerWidget::AccessibleTableName() const
{
    const int month = m_monthCombobox->currentIndex();
    if (month < 0)
        return tr("Days");
    return tr("Days of %1 %2").arg(m_monthCombobox->itemText(month), QString::number(ShownYear()));
}

QString CDatePickerWidget::AccessibleDayText(int column, int day, QAccessible::Text text) const
{
    const int month = m_monthCombobox->currentIndex() + 1;
    const QDate date(ShownYear(), month, day);
    if (text == QAccessible::Description)
        return date.isValid() && date == Today() ? tr("Today") : QString();
    if (text != QAccessible::Name)
        return QString();
    if (!date.isValid())
        return QString::number(day);
    const QString monthName = m_monthCombobox->itemText(month - 1);
    if (size_t(column) >= m_dayNames.size())
        return tr("%1 %2 %3").arg(QString::number(day), monthName, QString::number(date.year()));
    return tr("%1, %2 %3 %4")
        .arg(QStringFromWString(m_dayNames[size_t(column)]), QString::number(day), monthName,
             QString::number(date.year()));
}
