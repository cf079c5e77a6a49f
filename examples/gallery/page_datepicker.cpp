// "Date picker": one picker per language module, with that module's day and month names, and
// today (by the platform's clock) in red.
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <cstdlib>
#include <vector>

#include "gallerypage.h"
#include "schedule/datepickerwidget.h"
#include "tslang.h"
#include "tswin.h"

namespace {

// String-table identifiers of the weekday names (Sunday first) and the month names.
constexpr UINT FirstWeekdayNameId = 9033;
constexpr UINT FirstMonthNameId = 723;

std::vector<WString> Texts(HINSTANCE module, UINT first, int count)
{
    std::vector<WString> texts;
    for (int i = 0; i < count; ++i) {
        WCHAR buffer[256];
        const int length = LoadStringW(module, first + UINT(i), buffer, 256);
        texts.emplace_back(buffer, size_t(length > 0 ? length : 0));
    }
    return texts;
}

QDate ClockToday()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return QDate(now.wYear, now.wMonth, now.wDay);
}

QWidget *makeDatePickerPage()
{
    // Without a clock fixed for the whole process, this page fixes its own while the pickers are
    // made, so that its picture is the same on every day. Later months take the real clock.
    const bool processClockFixed = !qEnvironmentVariableIsEmpty("TS_FIXED_CLOCK");
    if (!processClockFixed) {
        SYSTEMTIME noon = {2009, 3, 0, 18, 12, 0, 0, 0};
        FILETIME fixed;
        SystemTimeToFileTime(&noon, &fixed);
        TsSetFixedClock(&fixed);
    }
    const QDate today = ClockToday();

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *caption = new QLabel(
        QStringLiteral("<b>Date picker</b> in each language module, with its day and month names. "
                       "Today, %1, is drawn in red; each picker starts three days earlier.%2")
            .arg(today.toString(Qt::ISODate),
                 processClockFixed ? QStringLiteral(" (clock fixed by TS_FIXED_CLOCK)")
                                   : QStringLiteral(" (clock fixed by the page)")));
    caption->setWordWrap(true);
    layout->addWidget(caption);

    auto *grid = new QGridLayout;
    int index = 0;
    for (const gallery::Language &language : gallery::kLanguages) {
        HINSTANCE module = LoadTsLang(language.id, 0);
        auto *box = new QGroupBox(QString::fromUtf8(language.name));
        box->setObjectName(QStringLiteral("language%1").arg(language.id, 4, 16, QLatin1Char('0')));
        auto *boxLayout = new QVBoxLayout(box);
        auto *picker = new CDatePickerWidget(Texts(module, FirstWeekdayNameId, 7),
                                             Texts(module, FirstMonthNameId, 12),
                                             today.addDays(-3));
        picker->setObjectName(QStringLiteral("picker"));
        auto *picked = new QLabel;
        picked->setObjectName(QStringLiteral("picked"));
        auto show = [picker, picked]() {
            picked->setText(QStringLiteral("GetDate(): %1").arg(picker->GetDate().toString(Qt::ISODate)));
        };
        QObject::connect(picker, &CDatePickerWidget::DatePicked, picked, show);
        show();
        boxLayout->addWidget(picker, 0, Qt::AlignLeft);
        boxLayout->addWidget(picked);
        boxLayout->addStretch(1);
        grid->addWidget(box, index / 2, index % 2);
        ++index;
    }
    layout->addLayout(grid);
    layout->addStretch(1);

    if (!processClockFixed)
        TsSetFixedClock(nullptr);
    return page;
}

} // namespace

TS_GALLERY_PAGE(21, "Date picker", makeDatePickerPage)
