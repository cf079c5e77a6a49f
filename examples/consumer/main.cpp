// Runs a two-step wizard from an installed TsUIKit and prints a value text and a date text.
// Exits 0 when the wizard walked both steps and finished, and the language module was found.
#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include <TsUIKit/foundation/datetime.h>
#include <TsUIKit/foundation/valueformat.h>
#include <TsUIKit/sheet/tspropertypage.h>
#include <TsUIKit/sheet/tspropertysheet.h>

namespace {

class StepPage : public CTsPropertyPage
{
public:
    StepPage(const char *title, int *visits)
        : m_visits(visits)
    {
        const std::u16string text = QString::fromLatin1(title).toStdU16String();
        SetHeaderTitle(reinterpret_cast<const unsigned short *>(text.c_str()));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QString::fromLatin1(title), this));
    }
    bool OnWizardNext() override { ++*m_visits; return true; }
    bool OnWizardFinish() override { ++*m_visits; return true; }

private:
    int *m_visits;
};

std::string utf8(const WString &text)
{
    return QStringFromWString(text).toStdString();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    int visits = 0;
    CTsPropertySheet wizard;
    wizard.SetWizardMode(true);
    wizard.CreateSheet();
    wizard.AddPage(new StepPage("First step", &visits));
    wizard.AddPage(new StepPage("Second step", &visits));

    // Next, then Finish, as a user would click them once the wizard is up.
    QTimer::singleShot(0, &wizard, [&wizard] {
        wizard.GetNextButton()->click();
        wizard.GetFinishButton()->click();
    });
    // The button labels come from the installed language module.
    const QString nextLabel = wizard.GetNextButton()->text();
    const int result = wizard.exec();

    const ATL::CComBSTR size = ByteConvert(3ULL * 1024 * 1024 * 1024);
    const double date = GetDATEFromQDateTime(QDateTime(QDate(2026, 12, 9), QTime(14, 30)));

    std::printf("wizard: %s after %d steps\n", result == QDialog::Accepted ? "finished" : "cancelled",
                visits);
    std::printf("next button: %s\n", nextLabel.toUtf8().constData());
    std::printf("value: %s\n", utf8(WString(size.m_str, size.Length())).c_str());
    std::printf("date: %s\n", utf8(GetLocalDateTimeString(date)).c_str());
    return result == QDialog::Accepted && visits == 2 && !nextLabel.isEmpty() ? 0 : 1;
}
