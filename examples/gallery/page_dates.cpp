// "Dates and schedules": a first run, a schedule kind and the next run it gives, and the local
// texts of a few DATEs in the process locale.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "foundation/datetime.h"
#include "gallerypage.h"
#include "schedule/schedule.h"

namespace {

enum Kind { Once, Daily, Weekly };

QString localeName()
{
    for (const char *variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return QString::fromLocal8Bit(value);
    }
    return QStringLiteral("C");
}

QString nextRunText(const QDateTime &first, int kind, int weekday, int weeks)
{
    const double firstDate = GetDATEFromQDateTime(first);
    double next = 0.0;
    switch (kind) {
    case Once:
        next = CalculateNextScheduledRun(firstDate, 0, false);
        break;
    case Daily:
        next = CalculateNextScheduledRun(firstDate, 86400, false);
        break;
    case Weekly: {
        SYSTEMTIME start;
        if (!VariantTimeToSystemTime(firstDate, &start))
            break;
        next = GetWeeklyTimeSchedule(start, weekday, weeks);
        break;
    }
    }
    const QString text = QStringFromWString(GetLocalDateTimeString(next));
    return text.isEmpty() ? QStringLiteral("(no run ahead)") : text;
}

QWidget *makeDatesPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *caption = new QLabel(
        QStringLiteral("<b>Dates and schedules</b> in the process locale <tt>%1</tt>: the next run "
                       "of a schedule, and the local texts of a few DATEs.")
            .arg(localeName().toHtmlEscaped()));
    caption->setWordWrap(true);
    layout->addWidget(caption);

    auto *scheduleBox = new QGroupBox(QStringLiteral("Schedule"));
    auto *form = new QFormLayout(scheduleBox);
    auto *firstEdit = new QDateTimeEdit;
    firstEdit->setObjectName(QStringLiteral("firstRun"));
    firstEdit->setCalendarPopup(true);
    firstEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    // Start from the platform's clock, which tests and screenshots can fix.
    SYSTEMTIME now;
    GetLocalTime(&now);
    double nowDate = 0.0;
    SystemTimeToVariantTime(&now, &nowDate);
    firstEdit->setDateTime(GetQDateTimeFromDATE(nowDate - 2.75));
    auto *kindBox = new QComboBox;
    kindBox->setObjectName(QStringLiteral("kind"));
    kindBox->addItems({QStringLiteral("Once"), QStringLiteral("Daily"),
                       QStringLiteral("Weekly on a weekday")});
    auto *weekdayBox = new QComboBox;
    weekdayBox->setObjectName(QStringLiteral("weekday"));
    const QLocale locale = QLocale::system();
    for (int day = 0; day < 7; ++day) // 0 = Sunday, as SYSTEMTIME counts
        weekdayBox->addItem(locale.dayName(day == 0 ? 7 : day), day);
    auto *weeksBox = new QSpinBox;
    weeksBox->setObjectName(QStringLiteral("weeks"));
    weeksBox->setRange(1, 52);
    weeksBox->setSuffix(QStringLiteral(" week(s)"));
    auto *nextRun = new QLabel;
    nextRun->setObjectName(QStringLiteral("nextRun"));
    nextRun->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QStringLiteral("First run:"), firstEdit);
    form->addRow(QStringLiteral("Kind:"), kindBox);
    form->addRow(QStringLiteral("Weekday:"), weekdayBox);
    form->addRow(QStringLiteral("Every:"), weeksBox);
    form->addRow(QStringLiteral("Next run:"), nextRun);
    layout->addWidget(scheduleBox);

    auto update = [=]() {
        const bool weekly = kindBox->currentIndex() == Weekly;
        weekdayBox->setEnabled(weekly);
        weeksBox->setEnabled(weekly);
        nextRun->setText(nextRunText(firstEdit->dateTime(), kindBox->currentIndex(),
                                     weekdayBox->currentData().toInt(), weeksBox->value()));
    };
    QObject::connect(firstEdit, &QDateTimeEdit::dateTimeChanged, page, update);
    QObject::connect(kindBox, QOverload<int>::of(&QComboBox::currentIndexChanged), page, update);
    QObject::connect(weekdayBox, QOverload<int>::of(&QComboBox::currentIndexChanged), page, update);
    QObject::connect(weeksBox, QOverload<int>::of(&QSpinBox::valueChanged), page, update);
    kindBox->setCurrentIndex(Weekly);
    weekdayBox->setCurrentIndex(1);
    weeksBox->setValue(2);
    update();

    const struct {
        double date;
        const char *what;
    } samples[] = {
        {39448.125, "1 January 2008, 03:00"},
        {39806.6354166667, "24 December 2008, 15:15"},
        {5.75, "4 January 1900, 18:00"},
        {-1.25, "29 December 1899, 06:00"},
        {949997.5, "31 December 4500, 12:00"},
        {949998.0, "the no-date value"},
        {0.0, "no date set"},
        {std::numeric_limits<double>::quiet_NaN(), "not a number"},
    };
    auto *table = new QTableWidget(int(std::size(samples)), 4);
    table->setObjectName(QStringLiteral("texts"));
    table->setHorizontalHeaderLabels({QStringLiteral("DATE"), QStringLiteral("Date"),
                                      QStringLiteral("Time"), QStringLiteral("Date and time")});
    table->verticalHeader()->hide();
    for (int r = 0; r < int(std::size(samples)); ++r) {
        const double d = samples[r].date;
        auto *dateItem = new QTableWidgetItem(std::isnan(d) ? QStringLiteral("NaN")
                                                            : QString::number(d, 'g', 12));
        dateItem->setToolTip(QLatin1String(samples[r].what));
        table->setItem(r, 0, dateItem);
        table->setItem(r, 1, new QTableWidgetItem(QStringFromWString(GetLocalDateString(d))));
        table->setItem(r, 2, new QTableWidgetItem(QStringFromWString(GetLocalTimeString(d))));
        table->setItem(r, 3, new QTableWidgetItem(QStringFromWString(GetLocalDateTimeString(d))));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table, 1);

    QStringList months, weekdays;
    for (int i = 0; i < 12; ++i)
        months << QStringFromWString(GetMonthOfYear(i));
    for (int i = 0; i < 7; ++i)
        weekdays << GetDayOfWeek(i);
    auto *names = new QLabel(QStringLiteral("Months: %1<br>Weekdays: %2")
                                 .arg(months.join(QLatin1String(", ")).toHtmlEscaped(),
                                      weekdays.join(QLatin1String(", ")).toHtmlEscaped()));
    names->setObjectName(QStringLiteral("names"));
    names->setWordWrap(true);
    layout->addWidget(names);
    page->resize(760, 620);
    return page;
}

} // namespace

TS_GALLERY_PAGE(20, "Dates and schedules", makeDatesPage)
