#include "sheet/tspropertysheet.h"

#include <QAccessible>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVariant>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "foundation/resourcetext_p.h"
#include "sheet/tspropertypage.h"
#include "sheet/tspropertysheetaccessible_p.h"

namespace {

// Button labels in the language module.
enum : UINT {
    IdsCancel = 61407,
    IdsBack = 328,
    IdsNext = 327,
    IdsFinish = 170,
    IdsOk = 61406,
};

// Buttons are "visible" when they would show with the dialog, whether it is on screen yet or not.
bool IsShownIn(const QWidget *button, const QWidget *dialog)
{
    return button->isVisibleTo(dialog);
}

WString TakeBSTR(unsigned short *text)
{
    ATL::CComBSTR owned; // freed even when the copy throws
    owned.Attach(reinterpret_cast<BSTR>(text));
    return WString(owned.m_str, owned.Length());
}

// Containers carry the rank of their adding: the stacks reorder their children as they raise and
// lower them, and pages are asked in the order they were added, whatever their tab position.
const char *const kAddingRank = "tsAddingRank";

int AddingRank(const QObject *object)
{
    const QVariant rank = object->property(kAddingRank);
    return rank.isValid() ? rank.toInt() : -1;
}

void CollectPages(QObject *parent, QList<CTsPropertyPage *> &pages)
{
    QObjectList children = parent->children();
    std::stable_sort(children.begin(), children.end(), [](const QObject *a, const QObject *b) {
        return AddingRank(a) < AddingRank(b);
    });
    for (QObject *child : children) {
        if (auto *page = qobject_cast<CTsPropertyPage *>(child))
            pages.append(page);
        CollectPages(child, pages);
    }
}

// Every page below `root`, depth first, containers in the order of adding, removed tabs included.
QList<CTsPropertyPage *> PagesBelow(QWidget *root)
{
    QList<CTsPropertyPage *> pages;
    CollectPages(root, pages);
    return pages;
}

// The page of the current step: normally a direct child of its container, so look there before
// deeper levels.
CTsPropertyPage *CurrentWizardPage(const QStackedWidget *stack)
{
    QWidget *container = stack->currentWidget();
    if (!container)
        return nullptr;
    QList<QObject *> level = container->children();
    while (!level.isEmpty()) {
        QList<QObject *> next;
        for (QObject *child : level) {
            if (auto *page = qobject_cast<CTsPropertyPage *>(child))
                return page;
            next += child->children();
        }
        level = next;
    }
    return nullptr;
}

// A page's container, not yet in the sheet, carrying the rank of adding `rank`.
std::unique_ptr<QWidget> NewPageContainer(int rank)
{
    auto container = std::make_unique<QWidget>();
    container->setObjectName(QStringLiteral("tsPageContainer"));
    container->setProperty(kAddingRank, rank);
    return container;
}

// Moves `page` into `container` with `place`, then the container into the sheet with `insert`.
// Only then does the sheet own the container. When either throws, the page goes back to its
// parent: the container, destroyed with the exception, must not take the caller's page with it.
template <class Place, class Insert>
void PlacePage(std::unique_ptr<QWidget> &container, QWidget *page, Place place, Insert insert)
{
    QWidget *const previousParent = page->parentWidget();
    try {
        place();
        insert();
    } catch (...) {
        if (page->parentWidget() == container.get())
            page->setParent(previousParent);
        throw;
    }
    container.release();
}

// QDialog keeps one default only among the buttons already inside it; keep it so for ours before
// they are placed too. Clearing first makes the dialog take note even when the button carried the
// flag already.
void MakeDefault(QPushButton *button, std::initializer_list<QPushButton *> family)
{
    for (QPushButton *other : family)
        if (other != button)
            other->setDefault(false);
    button->setDefault(false);
    button->setDefault(true);
}

} // namespace

CTsPropertySheet::CTsPropertySheet(QWidget *parent)
    : QDialog(parent, Qt::WindowTitleHint | Qt::WindowSystemMenuHint),
      m_okButton(nullptr),
      m_cancelButton(nullptr),
      m_backButton(nullptr),
      m_nextButton(nullptr),
      m_finishButton(nullptr),
      m_buttonLayout(nullptr),
      m_mainLayout(nullptr),
      m_wizardStack(nullptr),
      m_tabWidget(nullptr),
      m_wizardMode(false),
      m_parking(nullptr),
      m_pagesAdded(0)
{
    // A separate, never shown window owned by the sheet: widgets in it can be shown or hidden
    // before they are placed without popping up as windows of their own, they join the dialog's
    // tab order when placed, and those of the other mode are released with the sheet.
    m_parking = new QWidget(this, Qt::Window);
    m_parking->setAttribute(Qt::WA_DontShowOnScreen);

    m_wizardStack = new QStackedWidget(m_parking);
    m_tabWidget = new QTabWidget(m_parking);
    // Focusable, so named: a screen reader would otherwise announce an anonymous filler.
    m_tabWidget->setAccessibleName(tr("Pages"));

    using tsuikit::ResourceQString;
    m_cancelButton = new QPushButton(ResourceQString(IdsCancel), m_parking);
    m_backButton = new QPushButton(ResourceQString(IdsBack), m_parking);
    m_nextButton = new QPushButton(ResourceQString(IdsNext), m_parking);
    m_finishButton = new QPushButton(ResourceQString(IdsFinish), m_parking);
    m_okButton = new QPushButton(ResourceQString(IdsOk), m_parking);

    m_parking->setObjectName(QStringLiteral("tsParking"));
    m_wizardStack->setObjectName(QStringLiteral("tsWizardStack"));
    m_tabWidget->setObjectName(QStringLiteral("tsPageTabs"));
    m_cancelButton->setObjectName(QStringLiteral("tsCancelButton"));
    m_backButton->setObjectName(QStringLiteral("tsBackButton"));
    m_nextButton->setObjectName(QStringLiteral("tsNextButton"));
    m_finishButton->setObjectName(QStringLiteral("tsFinishButton"));
    m_okButton->setObjectName(QStringLiteral("tsOkButton"));

    // The slots are virtual: the connections reach a subclass's overrides.
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_backButton, &QPushButton::clicked, this, &CTsPropertySheet::OnBackButton);
    connect(m_nextButton, &QPushButton::clicked, this, &CTsPropertySheet::OnNextButton);
    connect(m_finishButton, &QPushButton::clicked, this, &CTsPropertySheet::OnFinishButton);
    connect(m_okButton, &QPushButton::clicked, this, &CTsPropertySheet::OnOkButton);
    connect(m_wizardStack, &QStackedWidget::currentChanged, this,
            &CTsPropertySheet::OnCurrentWidgetChanged);
    CTsPropertySheetAccessible::InstallFactory();
}

CTsPropertySheet::~CTsPropertySheet()
{
    // The stack dies after this part of the object; it must not call back into it.
    disconnect(m_wizardStack, nullptr, this, nullptr);
}

void CTsPropertySheet::SetWizardMode(bool wizard)
{
    m_wizardMode = wizard;
}

bool CTsPropertySheet::IsWizardMode() const
{
    return m_wizardMode;
}

void CTsPropertySheet::SetHeaderPixmap(QPixmap pixmap)
{
    m_headerPixmap = pixmap;
}

void CTsPropertySheet::CreateSheet()
{
    // A second layout cannot be installed; keep the first rather than leak a half-built one.
    if (layout())
        return;

    m_buttonLayout = new QHBoxLayout;
    m_buttonLayout->addStretch(1);
    if (m_wizardMode) {
        m_buttonLayout->addWidget(m_backButton);
        m_buttonLayout->addWidget(m_nextButton);
        m_buttonLayout->addWidget(m_finishButton);
        m_buttonLayout->addWidget(m_cancelButton);
    } else {
        m_buttonLayout->addWidget(m_okButton);
        m_buttonLayout->addWidget(m_cancelButton);
    }
    m_buttonLayout->addSpacing(12);

    auto *separator = new QFrame;
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    m_mainLayout = new QVBoxLayout;
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    if (m_wizardMode)
        m_mainLayout->addWidget(m_wizardStack);
    else
        m_mainLayout->addWidget(m_tabWidget);
    m_mainLayout->addWidget(separator);
    m_mainLayout->addSpacing(12);
    m_mainLayout->addLayout(m_buttonLayout);
    m_mainLayout->addSpacing(12);
    setLayout(m_mainLayout);

    // A default picked while the buttons were not yet in the dialog is only a flag on the button;
    // tell the dialog now, or it would pick a default of its own when shown.
    for (QPushButton *button : {m_backButton, m_nextButton, m_finishButton, m_okButton}) {
        if (button->isDefault() && button->parentWidget() == this) {
            MakeDefaultButton(button);
            break;
        }
    }
}

QWidget *CTsPropertySheet::CreateHeader(const WString &title, const WString &subtitle)
{
    auto header = std::make_unique<QWidget>(); // owned until returned: nothing leaks on a throw
    header->setObjectName(QStringLiteral("headerBand"));
    // In every colour group, or the band turns grey whenever the dialog is not the active window.
    QPalette palette = header->palette();
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    palette.setBrush(QPalette::Window, QBrush(QColor(GetRValue(window), GetGValue(window), GetBValue(window))));
    header->setPalette(palette);
    header->setBackgroundRole(QPalette::Window);
    header->setAutoFillBackground(true);

    auto *titleLabel = new QLabel(QStringFromWString(title), header.get());
    titleLabel->setObjectName(QStringLiteral("tsHeaderTitle"));
    titleLabel->setIndent(14);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);

    auto *subtitleLabel = new QLabel(QStringFromWString(subtitle), header.get());
    subtitleLabel->setObjectName(QStringLiteral("tsHeaderSubTitle"));
    subtitleLabel->setIndent(21);
    subtitleLabel->setWordWrap(true);

    auto *pictureLabel = new QLabel(header.get());
    pictureLabel->setObjectName(QStringLiteral("tsHeaderPicture"));
    pictureLabel->setPixmap(m_headerPixmap);
    pictureLabel->setFixedSize(m_headerPixmap.size());

    auto *separator = new QFrame(header.get());
    separator->setObjectName(QStringLiteral("tsHeaderLine"));
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    // Each layout has its owner as soon as it exists.
    auto *column = new QVBoxLayout(header.get());
    column->setContentsMargins(0, 0, 0, 0);
    column->addSpacing(7);
    column->setSpacing(7);
    auto *grid = new QGridLayout;
    column->addLayout(grid);
    column->addWidget(separator);
    grid->setContentsMargins(3, 3, 3, 3);
    grid->setSpacing(7);
    grid->addWidget(titleLabel, 0, 0);
    grid->addWidget(subtitleLabel, 1, 0);
    grid->addWidget(pictureLabel, 0, 1, 2, 1);

    header->adjustSize();
    return header.release();
}

void CTsPropertySheet::AddPage(CTsPropertyPage *page)
{
    if (!page)
        return;
    // What can fail (the header texts, memory) comes first, in a container this call still owns;
    // the page and the sheet change only after, so a failure leaves both as they were.
    auto container = NewPageContainer(m_pagesAdded + 1);
    auto *grid = new QGridLayout(container.get());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    int pageRow = 0;
    if (m_wizardMode && page->IsShowHeader()) {
        const WString subtitle = TakeBSTR(page->GetHeaderSubTitle());
        const WString title = TakeBSTR(page->GetHeaderTitle());
        // The step is named for screen readers by its header, or by the page's title.
        container->setAccessibleName(title.empty() ? page->windowTitle() : QStringFromWString(title));
        container->setAccessibleDescription(QStringFromWString(subtitle));
        std::unique_ptr<QWidget> header(CreateHeader(title, subtitle));
        header->setParent(container.get());
        grid->addWidget(header.release(), 0, 0);
        pageRow = 1;
        grid->setRowStretch(1, 1);
    } else if (m_wizardMode) {
        container->setAccessibleName(page->windowTitle());
    }

    QWidget *const previousSheet = page->GetSheet();
    try {
        page->SetSheet(this);
        PlacePage(container, page, [&] { grid->addWidget(page, pageRow, 0); }, [&] {
            if (m_wizardMode)
                m_wizardStack->addWidget(container.get());
            else
                m_tabWidget->addTab(container.get(), page->windowTitle());
        });
    } catch (...) {
        page->SetSheet(previousSheet);
        throw;
    }
    ++m_pagesAdded;
    UpdateWiwardButtonsState(m_wizardStack->currentIndex());
}

void CTsPropertySheet::AddPage(int index, CTsPropertyPage *page)
{
    if (m_wizardMode || !page)
        return;
    auto container = NewPageContainer(m_pagesAdded + 1);
    auto *column = new QVBoxLayout(container.get());
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    PlacePage(container, page, [&] { column->addWidget(page); },
              [&] { m_tabWidget->insertTab(index, container.get(), page->windowTitle()); });
    ++m_pagesAdded;
}

void CTsPropertySheet::RemovePage(CTsPropertyPage *page)
{
    if (m_wizardMode || !page)
        return;
    // The container stays below the tab widget, so OK still asks the page.
    for (CTsPropertyPage *candidate : PagesBelow(m_tabWidget)) {
        if (candidate != page)
            continue;
        const int index = m_tabWidget->indexOf(candidate->parentWidget());
        if (index != -1) {
            m_tabWidget->removeTab(index);
            return;
        }
    }
}

void CTsPropertySheet::SetPageEnable(CTsPropertyPage *page, bool enable)
{
    if (m_wizardMode || !page)
        return;
    for (CTsPropertyPage *candidate : PagesBelow(m_tabWidget)) {
        if (candidate != page)
            continue;
        if (QWidget *container = candidate->parentWidget()) {
            const int index = m_tabWidget->indexOf(container);
            if (index != -1)
                m_tabWidget->setTabEnabled(index, enable);
        }
        return;
    }
}

bool CTsPropertySheet::IsPageEnable(CTsPropertyPage *page)
{
    if (m_wizardMode || !page)
        return false;
    for (CTsPropertyPage *candidate : PagesBelow(m_tabWidget)) {
        if (candidate != page)
            continue;
        QWidget *container = candidate->parentWidget();
        if (!container)
            return false;
        const int index = m_tabWidget->indexOf(container);
        return index != -1 && m_tabWidget->isTabEnabled(index);
    }
    return false;
}

int CTsPropertySheet::GetPageCount()
{
    return m_wizardStack->count();
}

void CTsPropertySheet::SetActivePage(CTsPropertyPage *page)
{
    if (page) {
        QWidget *root = m_wizardMode ? static_cast<QWidget *>(m_wizardStack)
                                     : static_cast<QWidget *>(m_tabWidget);
        for (CTsPropertyPage *candidate : PagesBelow(root)) {
            if (candidate != page)
                continue;
            if (QWidget *container = candidate->parentWidget()) {
                // A page whose tab was removed has no place to come to the front.
                if (m_wizardMode) {
                    if (m_wizardStack->indexOf(container) != -1)
                        m_wizardStack->setCurrentWidget(container);
                } else if (m_tabWidget->indexOf(container) != -1) {
                    m_tabWidget->setCurrentWidget(container);
                }
            }
            break;
        }
    }
    if (m_wizardMode)
        SetWizardButtonDefault();
}

void CTsPropertySheet::OnBackButton()
{
    const int index = m_wizardStack->currentIndex();
    CTsPropertyPage *page = CurrentWizardPage(m_wizardStack);
    if (page && !page->OnWizardBack())
        return;
    if (index - 1 < 0)
        return;
    UpdateWiwardButtonsState(index - 1);
    m_wizardStack->setCurrentIndex(index - 1);
}

void CTsPropertySheet::OnNextButton()
{
    const int index = m_wizardStack->currentIndex();
    CTsPropertyPage *page = CurrentWizardPage(m_wizardStack);
    if (page && !page->OnWizardNext())
        return;
    if (index + 1 < 0 || index + 1 >= m_wizardStack->count())
        return;
    UpdateWiwardButtonsState(index + 1);
    m_wizardStack->setCurrentIndex(index + 1);
}

void CTsPropertySheet::OnFinishButton()
{
    CTsPropertyPage *page = CurrentWizardPage(m_wizardStack);
    if (page && !page->OnWizardFinish())
        return;
    done(QDialog::Accepted);
}

void CTsPropertySheet::OnOkButton()
{
    // A hook may destroy a page; do not ask a page that is gone.
    QList<QPointer<CTsPropertyPage>> pages;
    for (CTsPropertyPage *page : PagesBelow(m_tabWidget))
        pages.append(page);

    for (const QPointer<CTsPropertyPage> &page : pages) {
        if (page && !page->OnQueryOK()) {
            SetActivePage(page);
            return;
        }
    }
    for (const QPointer<CTsPropertyPage> &page : pages) {
        if (page && !page->OnOK())
            return;
    }
    done(QDialog::Accepted);
}

void CTsPropertySheet::UpdateWiwardButtonsState(int index)
{
    if (!m_wizardMode)
        return;
    m_backButton->setEnabled(index > 0);
    m_finishButton->setVisible(index == m_wizardStack->count() - 1);
}

void CTsPropertySheet::OnCurrentWidgetChanged(int index)
{
    if (index == m_wizardStack->count() - 1) {
        MakeDefaultButton(m_finishButton);
    } else {
        MakeDefaultButton(m_nextButton);
        if (!IsShownIn(m_nextButton, this) && m_backButton->isEnabled()
            && IsShownIn(m_backButton, this))
            MakeDefaultButton(m_backButton);
    }
    AnnounceStep(index);
}

QString CTsPropertySheet::CurrentStepTitle() const
{
    QWidget *step = m_wizardMode ? m_wizardStack->currentWidget() : nullptr;
    return step ? step->accessibleName() : QString();
}

void CTsPropertySheet::AnnounceStep(int index)
{
    QWidget *step = m_wizardStack->widget(index);
    if (!step || !isVisible())
        return;
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    // The focus goes to the step's first control, as the user would Tab to it; a step without
    // one leaves it on the default button.
    for (QWidget *next = nextInFocusChain(); next && next != this; next = next->nextInFocusChain()) {
        if (step->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) && next->isEnabled()
            && next->isVisibleTo(this)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    for (QPushButton *button : {m_finishButton, m_nextButton, m_backButton}) {
        if (button->isDefault() && button->isEnabled() && IsShownIn(button, this)) {
            button->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CTsPropertySheet::MakeDefaultButton(QPushButton *button)
{
    MakeDefault(button, {m_okButton, m_cancelButton, m_backButton, m_nextButton, m_finishButton});
}

void CTsPropertySheet::SetWizardButtonDefault()
{
    for (QPushButton *button : {m_nextButton, m_finishButton, m_backButton}) {
        if (button->isEnabled() && IsShownIn(button, this)) {
            MakeDefaultButton(button);
            return;
        }
    }
}

void CTsPropertySheet::SetNextButtonText(const WString &text)
{
    m_nextButton->setText(QStringFromWString(text));
}

void CTsPropertySheet::SetBackButtonText(const WString &text)
{
    m_backButton->setText(QStringFromWString(text));
}

void CTsPropertySheet::SetFinishButtonText(const WString &text)
{
    m_finishButton->setText(QStringFromWString(text));
}

void CTsPropertySheet::SetBackButtonVisible(bool visible)
{
    m_backButton->setVisible(visible);
    SetWizardButtonDefault();
}

void CTsPropertySheet::SetNextButtonVisible(bool visible)
{
    m_nextButton->setVisible(visible);
    SetWizardButtonDefault();
}

void CTsPropertySheet::SetFinishButtonVisible(bool visible)
{
    m_finishButton->setVisible(visible);
    SetWizardButtonDefault();
}

void CTsPropertySheet::SetCancelButtonVisible(bool visible)
{
    m_cancelButton->setVisible(visible);
}

void CTsPropertySheet::SetEnabledNextButton(bool enable)
{
    m_nextButton->setEnabled(enable);
    SetWizardButtonDefault();
}

void CTsPropertySheet::SetEnabledFinishButton(bool enable)
{
    m_finishButton->setEnabled(enable);
    SetWizardButtonDefault();
}

void CTsPropertySheet::SetEnabledOkButton(bool enable)
{
    m_okButton->setEnabled(enable);
}

QPushButton *CTsPropertySheet::GetNextButton()
{
    return m_nextButton;
}

QPushButton *CTsPropertySheet::GetBackButton()
{
    return m_backButton;
}

QPushButton *CTsPropertySheet::GetFinishButton()
{
    return m_finishButton;
}
