#include "sheet/tspropertyintropage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

#include "foundation/resourcetext_p.h"
#include "sheet/tspropertysheet.h"
#include "tswinqt.h"

namespace {

// Label of the wizard-mode check box in the language module.
constexpr UINT IdsWizardModeCheck = 713;

} // namespace

CTsPropertyIntroPage::CTsPropertyIntroPage(QWidget *parent)
    : CTsPropertyPage(parent), m_wizardModeCheck(nullptr)
{
    // In every colour group, or the page turns grey whenever the dialog is not the active window.
    QPalette palette = this->palette();
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    palette.setBrush(QPalette::Window, QBrush(QColor(GetRValue(window), GetGValue(window), GetBValue(window))));
    setPalette(palette);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    SetShowHeader(0);
}

CTsPropertyIntroPage::~CTsPropertyIntroPage() = default;

void CTsPropertyIntroPage::SetInfo(HBITMAP bitmap, WString title, WString text, bool showCheck)
{
    const QPixmap picture = QtWin::fromHBITMAP(bitmap, QtWin::HBitmapNoAlpha);
    if (bitmap)
        DeleteObject(bitmap);
    // Built once; a second call only disposes of the bitmap it was handed.
    if (m_wizardModeCheck)
        return;

    auto *pictureLabel = new QLabel;
    pictureLabel->setObjectName(QStringLiteral("introPicture"));
    pictureLabel->setPixmap(picture);
    pictureLabel->setScaledContents(true);

    auto *titleLabel = new QLabel(QStringFromWString(title));
    titleLabel->setObjectName(QStringLiteral("introTitle"));
    titleLabel->setWordWrap(true);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() + 4);
    else // a font sized in pixels: grow it by what 4 points measure on the screen
        titleFont.setPixelSize(titleFont.pixelSize() + qRound(4 * logicalDpiY() / 72.0));
    titleLabel->setFont(titleFont);

    auto *textLabel = new QLabel(QStringFromWString(text));
    textLabel->setObjectName(QStringLiteral("introText"));
    textLabel->setWordWrap(true);

    m_wizardModeCheck = new QCheckBox(tsuikit::ResourceQString(IdsWizardModeCheck));
    m_wizardModeCheck->setObjectName(QStringLiteral("introWizardModeCheck"));

    auto *column = new QVBoxLayout;
    column->setContentsMargins(15, 15, 15, 15);
    column->setSpacing(12);
    column->addWidget(titleLabel);
    column->addWidget(textLabel);
    column->addStretch(1);
    column->addWidget(m_wizardModeCheck);

    if (!showCheck)
        m_wizardModeCheck->setVisible(false);
    m_wizardModeCheck->setCheckState(Qt::Checked);

    auto *grid = new QGridLayout;
    grid->addWidget(pictureLabel, 0, 0);
    grid->addLayout(column, 0, 1);
    grid->setColumnStretch(1, 1);
    setLayout(grid);
}

void CTsPropertyIntroPage::SetCheckForWizardMode(bool check)
{
    if (m_wizardModeCheck)
        m_wizardModeCheck->setCheckState(check ? Qt::Checked : Qt::Unchecked);
}

bool CTsPropertyIntroPage::IsWizardModeCheck()
{
    return m_wizardModeCheck && m_wizardModeCheck->checkState() == Qt::Checked;
}

void CTsPropertyIntroPage::SetEnabledWizardMode(bool enable)
{
    if (m_wizardModeCheck)
        m_wizardModeCheck->setEnabled(enable);
}

void CTsPropertyIntroPage::showEvent(QShowEvent *event)
{
    CTsPropertyPage::showEvent(event);
    auto *sheet = qobject_cast<CTsPropertySheet *>(GetSheet());
    if (sheet && sheet->IsWizardMode())
        sheet->SetEnabledNextButton(true);
}
