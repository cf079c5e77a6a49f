#include "widgets/categorieswidget.h"

#include <QPainter>
#include <QVBoxLayout>

#include "foundation/resourcetext_p.h"
#include "widgets/tsbutton.h"

CCategoriesWidget::CCategoriesWidget(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setObjectName(QStringLiteral("categoriesLayout"));
    m_layout->setContentsMargins(3, 3, 3, 3);
    m_layout->setSpacing(2);
    setFocusPolicy(Qt::StrongFocus);
    // The pane takes the focus itself, so it needs a name that says what it is.
    setAccessibleName(tr("Categories"));
    QPalette colours = palette();
    colours.setColor(QPalette::Button, Qt::white);
    setPalette(colours);
}

CCategoriesWidget::~CCategoriesWidget() = default;

QWidget *CCategoriesWidget::AddItem(unsigned int textId, unsigned int toolTipId, QIcon enabledIcon,
                                    QIcon disabledIcon)
{
    auto *button = new CTsButton(this);
    button->SetIcons(enabledIcon, disabledIcon);
    button->SetTextColor(QColor(0, 0, 0, 255), QColor(0, 0, 0, 255));
    button->setText(tsuikit::ResourceQString(textId));
    button->setFlat(true);
    button->setToolTip(tsuikit::ResourceQString(toolTipId));
    button->setItemEnabled(true);
    button->setFocusPolicy(Qt::StrongFocus);
    QPalette colours = button->palette();
    colours.setColor(QPalette::Window, Qt::white);
    button->setPalette(colours);
    m_items.append(button);
    m_layout->addWidget(button, 0);
    return button;
}

void CCategoriesWidget::SetItemIconSize(const QSize &size)
{
    for (const QPointer<QWidget> &item : qAsConst(m_items))
        if (auto *button = qobject_cast<QAbstractButton *>(item.data()))
            button->setIconSize(size);
}

void CCategoriesWidget::SetItemIcon(QWidget *item, const QIcon &enabledIcon, const QIcon &disabledIcon)
{
    if (auto *button = dynamic_cast<CTsButton *>(item))
        button->SetIcons(enabledIcon, disabledIcon);
}

void CCategoriesWidget::SetItemText(QWidget *item, unsigned int textId)
{
    if (auto *button = qobject_cast<QAbstractButton *>(item))
        button->setText(tsuikit::ResourceQString(textId));
}

void CCategoriesWidget::SetItemToolTip(QWidget *item, unsigned int toolTipId)
{
    if (item)
        item->setToolTip(tsuikit::ResourceQString(toolTipId));
}

void CCategoriesWidget::setItemEnabled(QString name, bool enabled)
{
    auto *found = findChild<QPushButton *>(name);
    if (!found)
        return;
    // A push button the caller placed in the pane itself is no CTsButton: it has no icon pair.
    if (auto *button = dynamic_cast<CTsButton *>(found))
        button->setItemEnabled(enabled);
    else
        found->setEnabled(enabled);
}

void CCategoriesWidget::Reset()
{
    for (const QPointer<QWidget> &item : qAsConst(m_items)) {
        if (!item)
            continue;
        m_layout->removeWidget(item);
        delete item.data();
    }
    m_items.clear();
}

void CCategoriesWidget::SetHelpPage(const WString &page, const WString &title)
{
    m_helpPage = page;
    m_helpTitle = title;
}

void CCategoriesWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QBrush(palette().color(QPalette::Button)));
}

void CCategoriesWidget::showEvent(QShowEvent *)
{
    if (isVisible() && !m_helpPage.empty())
        emit DisplayHelp(QStringFromWString(m_helpPage), QStringFromWString(m_helpTitle));
}
