// "Scheduling wizard" and "Property sheet": the multi-page dialog in its two modes.
#include <QCheckBox>
#include <QComboBox>
#include <QTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>
#include <vector>

#include "foundation/datetime.h"
#include "gallerypage.h"
#include "schedule/datepickerwidget.h"
#include "schedule/schedule.h"
#include "sheet/tspropertyintropage.h"
#include "sheet/tspropertypage.h"
#include "sheet/tspropertysheet.h"
#include "tswinqt.h"

namespace {

std::u16string U16(const QString &text)
{
    return text.toStdU16String();
}

void SetHeader(CTsPropertyPage *page, const QString &title, const QString &subtitle)
{
    const std::u16string t = U16(title);
    const std::u16string s = U16(subtitle);
    page->SetHeaderTitle(reinterpret_cast<const unsigned short *>(t.c_str()));
    page->SetHeaderSubTitle(reinterpret_cast<const unsigned short *>(s.c_str()));
}

// Pictures of the gallery are drawn here; the product's come from its language module.
QImage Picture(const QSize &size, const QColor &top, const QColor &bottom, bool clock)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(image.rect(), gradient);
    painter.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(size.width(), size.height()) * 2 / 3;
    const QRect face((size.width() - d) / 2, clock ? size.height() / 5 : (size.height() - d) / 2, d, d);
    painter.setPen(QPen(Qt::white, qMax(2, d / 16)));
    painter.setBrush(QColor(255, 255, 255, 60));
    painter.drawEllipse(face);
    painter.drawLine(face.center(), face.center() + QPoint(0, -d * 3 / 8));
    painter.drawLine(face.center(), face.center() + QPoint(d / 4, 0));
    return image;
}

// The wizard leaves Next enabled on the last step; this caller turns it off there and back on
// on the other steps.
void EnableNext(CTsPropertyPage *page, bool enable)
{
    if (auto *sheet = qobject_cast<CTsPropertySheet *>(page->GetSheet()))
        sheet->SetEnabledNextButton(enable);
}

// Start of the first run: the day in a date picker with the names of the user's language, and
// the time of day beside it. Next refuses a start in the past.
class StartPage : public CTsPropertyPage
{
public:
    StartPage() : CTsPropertyPage(nullptr)
    {
        SetHeader(this, QStringLiteral("Start time"),
                  QStringLiteral("Choose the date and time of the first defragmentation run."));
        auto *layout = new QFormLayout(this);
        layout->setContentsMargins(28, 18, 28, 18);
        std::vector<WString> dayNames, monthNames;
        for (int i = 0; i < 7; ++i)
            dayNames.push_back(WStringFromQString(GetDayOfWeek(i)));
        for (int i = 0; i < 12; ++i)
            monthNames.push_back(GetMonthOfYear(i));
        // Tomorrow by the platform's clock, which tests and screenshots can fix.
        SYSTEMTIME now;
        GetLocalTime(&now);
        picker = new CDatePickerWidget(dayNames, monthNames,
                                       QDate(now.wYear, now.wMonth, now.wDay).addDays(1));
        picker->setObjectName(QStringLiteral("startDate"));
        time = new QTimeEdit(QTime(3, 0));
        time->setObjectName(QStringLiteral("startTime"));
        time->setDisplayFormat(QStringLiteral("HH:mm"));
        layout->addRow(QStringLiteral("&Start on:"), picker);
        layout->addRow(QStringLiteral("&At:"), time);
        note = new QLabel;
        note->setStyleSheet(QStringLiteral("color: #a00000"));
        layout->addRow(QString(), note);
    }

    QDateTime Start() const { return QDateTime(picker->GetDate(), time->time()); }

    void showEvent(QShowEvent *event) override
    {
        CTsPropertyPage::showEvent(event);
        EnableNext(this, true);
    }

    bool OnWizardNext() override
    {
        SYSTEMTIME now;
        GetLocalTime(&now);
        const bool future = Start() > QDateTime(QDate(now.wYear, now.wMonth, now.wDay),
                                                QTime(now.wHour, now.wMinute, now.wSecond));
        note->setText(future ? QString() : QStringLiteral("The start lies in the past."));
        return future;
    }

    CDatePickerWidget *picker;
    QTimeEdit *time;
    QLabel *note;
};

// How the runs repeat.
class RepeatPage : public CTsPropertyPage
{
public:
    RepeatPage() : CTsPropertyPage(nullptr)
    {
        SetHeader(this, QStringLiteral("Schedule"),
                  QStringLiteral("Choose how often the run repeats after the first one."));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(28, 18, 28, 18);
        once = new QRadioButton(QStringLiteral("&Once"));
        hourly = new QRadioButton(QStringLiteral("Every"));
        weekly = new QRadioButton(QStringLiteral("&Weekly on"));
        hours = new QSpinBox;
        hours->setRange(1, 168);
        hours->setValue(12);
        hours->setSuffix(QStringLiteral(" hours"));
        weekday = new QComboBox;
        for (int day = 0; day < 7; ++day)
            weekday->addItem(GetDayOfWeek(day));
        weekday->setCurrentIndex(6);
        weeks = new QSpinBox;
        weeks->setRange(1, 52);
        weeks->setPrefix(QStringLiteral("every "));
        weeks->setSuffix(QStringLiteral(" week(s)"));
        weekly->setChecked(true);

        layout->addWidget(once);
        auto *hourRow = new QHBoxLayout;
        hourRow->addWidget(hourly);
        hourRow->addWidget(hours);
        hourRow->addStretch(1);
        layout->addLayout(hourRow);
        auto *weekRow = new QHBoxLayout;
        weekRow->addWidget(weekly);
        weekRow->addWidget(weekday);
        weekRow->addWidget(weeks);
        weekRow->addStretch(1);
        layout->addLayout(weekRow);
        layout->addStretch(1);
    }

    void showEvent(QShowEvent *event) override
    {
        CTsPropertyPage::showEvent(event);
        EnableNext(this, true);
    }

    QRadioButton *once;
    QRadioButton *hourly;
    QRadioButton *weekly;
    QSpinBox *hours;
    QComboBox *weekday;
    QSpinBox *weeks;
};

// The computed first run, worked out again each time the step shows.
class SummaryPage : public CTsPropertyPage
{
public:
    SummaryPage(StartPage *start, RepeatPage *repeat)
        : CTsPropertyPage(nullptr), m_start(start), m_repeat(repeat)
    {
        SetHeader(this, QStringLiteral("Summary"),
                  QStringLiteral("Check the schedule, then press Finish to save it."));
        auto *layout = new QFormLayout(this);
        layout->setContentsMargins(28, 18, 28, 18);
        m_startText = new QLabel;
        m_repeatText = new QLabel;
        m_firstRun = new QLabel;
        QFont bold = m_firstRun->font();
        bold.setBold(true);
        m_firstRun->setFont(bold);
        layout->addRow(QStringLiteral("Start:"), m_startText);
        layout->addRow(QStringLiteral("Repeats:"), m_repeatText);
        layout->addRow(QStringLiteral("First run:"), m_firstRun);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        CTsPropertyPage::showEvent(event);
        EnableNext(this, false);
        const QDateTime start = m_start->Start();
        const double startDate = GetDATEFromQDateTime(start);
        m_startText->setText(QStringFromWString(GetLocalDateTimeString(startDate)));
        double firstRun = 0.0;
        if (m_repeat->once->isChecked()) {
            m_repeatText->setText(QStringLiteral("once"));
            firstRun = CalculateNextScheduledRun(startDate, 0, false);
        } else if (m_repeat->hourly->isChecked()) {
            m_repeatText->setText(QStringLiteral("every %1 hours").arg(m_repeat->hours->value()));
            firstRun = CalculateNextScheduledRun(startDate, m_repeat->hours->value() * 3600, false);
        } else {
            m_repeatText->setText(QStringLiteral("on %1, every %2 week(s)")
                                      .arg(m_repeat->weekday->currentText())
                                      .arg(m_repeat->weeks->value()));
            SYSTEMTIME st = {};
            st.wYear = WORD(start.date().year());
            st.wMonth = WORD(start.date().month());
            st.wDayOfWeek = WORD(start.date().dayOfWeek() % 7);
            st.wDay = WORD(start.date().day());
            st.wHour = WORD(start.time().hour());
            st.wMinute = WORD(start.time().minute());
            firstRun = GetWeeklyTimeSchedule(st, m_repeat->weekday->currentIndex(),
                                             m_repeat->weeks->value());
        }
        const QString text = QStringFromWString(GetLocalDateTimeString(firstRun));
        m_firstRun->setText(text.isEmpty() ? QStringLiteral("none (the start has passed)") : text);
    }

private:
    StartPage *m_start;
    RepeatPage *m_repeat;
    QLabel *m_startText;
    QLabel *m_repeatText;
    QLabel *m_firstRun;
};

// Hosts a sheet inside the gallery; when it closes, reports the result and builds a fresh one.
class SheetHost : public QWidget
{
public:
    using Factory = std::function<CTsPropertySheet *(QLabel *report)>;

    explicit SheetHost(Factory factory) : m_factory(std::move(factory))
    {
        m_layout = new QVBoxLayout(this);
        m_layout->setContentsMargins(0, 0, 0, 0);
        m_report = new QLabel(QStringLiteral("Result: none yet"));
        m_report->setContentsMargins(8, 4, 8, 6);
        m_layout->addWidget(m_report);
        Rebuild();
    }

    CTsPropertySheet *sheet() const { return m_sheet; }

private:
    void Rebuild()
    {
        if (m_sheet)
            m_sheet->deleteLater();
        m_sheet = m_factory(m_report);
        m_layout->insertWidget(0, m_sheet, 1);
        m_sheet->show();
        QObject::connect(m_sheet.data(), &QDialog::finished, this, [this](int result) {
            m_report->setText(m_report->text() + QStringLiteral(" (closed: %1)").arg(
                                  result == QDialog::Accepted ? QStringLiteral("accepted")
                                                              : QStringLiteral("rejected")));
            Rebuild();
        });
    }

    Factory m_factory;
    QVBoxLayout *m_layout;
    QLabel *m_report;
    QPointer<CTsPropertySheet> m_sheet;
};

CTsPropertySheet *MakeWizard(QLabel *report)
{
    auto *sheet = new CTsPropertySheet;
    sheet->setWindowTitle(QStringLiteral("Scheduling Wizard"));
    sheet->SetWizardMode(true);
    sheet->SetHeaderPixmap(QPixmap::fromImage(
        Picture(QSize(49, 49), QColor(0x3a, 0x6e, 0xb5), QColor(0x1c, 0x3d, 0x73), false)));

    auto *intro = new CTsPropertyIntroPage(nullptr);
    intro->SetInfo(QtWin::imageToHBITMAP(Picture(QSize(164, 314), QColor(0x4f, 0x86, 0xcf),
                                                 QColor(0x12, 0x2e, 0x5c), true),
                                         QtWin::HBitmapNoAlpha),
                   WStringFromQString(QStringLiteral("Welcome to the Scheduling Wizard")),
                   WStringFromQString(QStringLiteral(
                       "This wizard helps you schedule regular defragmentation runs of your "
                       "volumes.\n\nTo continue, click Next.")),
                   true);
    auto *start = new StartPage;
    auto *repeat = new RepeatPage;
    auto *summary = new SummaryPage(start, repeat);
    sheet->AddPage(intro);
    sheet->AddPage(start);
    sheet->AddPage(repeat);
    sheet->AddPage(summary);
    sheet->CreateSheet();
    QObject::connect(sheet, &QDialog::accepted, report, [report, intro, start]() {
        report->setText(QStringLiteral("Result: first run from %1, wizard next time: %2")
                            .arg(start->Start().toString(Qt::ISODate))
                            .arg(intro->IsWizardModeCheck() ? QStringLiteral("yes")
                                                            : QStringLiteral("no")));
    });
    return sheet;
}

// A tab whose hooks can be told to refuse, to watch OK's two passes.
class VetoPage : public CTsPropertyPage
{
public:
    VetoPage(const QString &title, QLabel *report) : CTsPropertyPage(nullptr), m_report(report)
    {
        setWindowTitle(title);
        auto *layout = new QVBoxLayout(this);
        auto *box = new QGroupBox(QStringLiteral("When OK is pressed"));
        auto *boxLayout = new QVBoxLayout(box);
        m_vetoQuery = new QCheckBox(QStringLiteral("Refuse in the first pass (OnQueryOK)"));
        m_vetoOk = new QCheckBox(QStringLiteral("Refuse in the second pass (OnOK)"));
        boxLayout->addWidget(m_vetoQuery);
        boxLayout->addWidget(m_vetoOk);
        layout->addWidget(new QLabel(QStringLiteral("Settings of the \"%1\" tab.").arg(title)));
        layout->addWidget(box);
        layout->addStretch(1);
    }

    bool OnQueryOK() override { return Answer(QStringLiteral("OnQueryOK"), m_vetoQuery); }
    bool OnOK() override { return Answer(QStringLiteral("OnOK"), m_vetoOk); }

private:
    bool Answer(const QString &hook, QCheckBox *veto)
    {
        if (veto->isChecked())
            m_report->setText(QStringLiteral("Result: %1 of \"%2\" refused").arg(hook, windowTitle()));
        return !veto->isChecked();
    }

    QLabel *m_report;
    QCheckBox *m_vetoQuery;
    QCheckBox *m_vetoOk;
};

CTsPropertySheet *MakePropertySheet(QLabel *report)
{
    auto *sheet = new CTsPropertySheet;
    sheet->setWindowTitle(QStringLiteral("Volume C: Properties"));
    for (const char *title : {"General", "Schedule", "Advanced"})
        sheet->AddPage(new VetoPage(QString::fromLatin1(title), report));
    sheet->CreateSheet();
    QObject::connect(sheet, &QDialog::accepted, report,
                     [report]() { report->setText(QStringLiteral("Result: every tab agreed")); });
    return sheet;
}

QWidget *MakeWizardPage()
{
    return new SheetHost(MakeWizard);
}

QWidget *MakePropertySheetPage()
{
    return new SheetHost(MakePropertySheet);
}

// The wizard on its first and its last step.
void ShootWizard(QWidget *page, const gallery::Shoot &shoot)
{
    CTsPropertySheet *sheet = static_cast<SheetHost *>(page)->sheet();
    shoot(QStringLiteral("first-step"), sheet);
    sheet->OnNextButton();
    shoot(QStringLiteral("start-date"), sheet);
    for (int i = 2; i < sheet->GetPageCount(); ++i)
        sheet->OnNextButton();
    shoot(QStringLiteral("last-step"), sheet);
}

} // namespace

TS_GALLERY_PAGE(40, "Scheduling wizard", MakeWizardPage, ShootWizard)
TS_GALLERY_PAGE(41, "Property sheet", MakePropertySheetPage)
