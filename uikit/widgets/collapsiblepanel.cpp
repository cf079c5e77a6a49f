#include "widgets/collapsiblepanel.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "foundation/resourcetext_p.h"
#include "tsjpeg.h"
#include "tswinqt.h"
#include "widgets/panelheaderstyle.h"
#include "widgets/pixmaps.h"
#include "widgets/tsbutton.h"

namespace {

// Language module resources of the panel.
constexpr UINT BackgroundJpegId = 10163;
constexpr unsigned int MarkStripId = 10151;
constexpr unsigned int MarkStripMaskId = 10326;
const QSize MarkSize(16, 16);

} // namespace

CCollapsiblePanel::CCollapsiblePanel(QWidget *parent)
    : QFrame(parent)
    , m_itemsLayout(nullptr)
    , m_mainLayout(nullptr)
    , m_expandMoreThanOne(true)
{
    if (HBITMAP bitmap = LoadJpegImage(tsuikit::LanguageModule(), BackgroundJpegId, 0, 0)) {
        m_background = QtWin::fromHBITMAP(bitmap, QtWin::HBitmapNoAlpha);
        DeleteObject(bitmap);
    }
    const QPixmap strip = LoadPixmap(MarkStripId, MarkStripMaskId);
    if (!strip.isNull()) {
        m_expandedIcon = GetIndexOfPixmap(strip, 0, MarkSize);
        m_collapsedIcon = GetIndexOfPixmap(strip, 1, MarkSize);
    }

    m_itemsLayout = new QVBoxLayout;
    m_itemsLayout->setObjectName(QStringLiteral("panelItemsLayout"));
    m_itemsLayout->setSpacing(8);
    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setObjectName(QStringLiteral("panelMainLayout"));
    m_mainLayout->setContentsMargins(15, 15, 15, 15);
    m_mainLayout->addLayout(m_itemsLayout, 0);
    m_mainLayout->addStretch(1);
}

CCollapsiblePanel::~CCollapsiblePanel()
{
    // The headers go first, so no widget is left with a deleted style.
    for (const PanelItem &item : qAsConst(m_items))
        delete item.header;
    m_items.clear();
    qDeleteAll(m_headerStyles);
}

void CCollapsiblePanel::AddItem(QString title, QWidget *content)
{
    if (!content)
        return;
    auto *header = new CTsButton;
    header->setObjectName(QStringLiteral("panelHeader%1").arg(m_items.size()));
    header->setText(title);
    header->setIcon(m_collapsedIcon);
    header->setIconSize(MarkSize);
    header->SetTextColor(QColor(40, 40, 40), QColor(0, 0, 0));
    m_items.append(PanelItem{header, 0, content});
    connect(header, &QPushButton::clicked, this, &CCollapsiblePanel::OnPanelClick);
    QPalette colours = header->palette();
    colours.setColor(QPalette::Window, Qt::white);
    header->setPalette(colours);
    auto *style = new CPanelHeaderStyle;
    m_headerStyles.append(style);
    header->setStyle(style);

    auto *section = new QVBoxLayout;
    section->setContentsMargins(0, 0, 0, 0);
    section->setSpacing(0);
    section->addWidget(header, 0);
    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addSpacing(0);
    body->addWidget(content, 0);
    body->addSpacing(0);
    section->addLayout(body, 0);
    m_itemsLayout->addLayout(section, 0);
    // Tab leads from a header into its own section, as the sections are shown: the caller made
    // the content before the header.
    QWidget *previous = header;
    QList<QWidget *> focusable = content->findChildren<QWidget *>();
    focusable.prepend(content);
    for (QWidget *widget : qAsConst(focusable)) {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void CCollapsiblePanel::SetItemExpand(QWidget *content, int expanded)
{
    if (!content)
        return;
    for (PanelItem &item : m_items) {
        if (item.content != content)
            continue;
        const bool wasOpen = item.expanded != 0;
        item.expanded = expanded;
        item.header->setIcon(expanded ? m_expandedIcon : m_collapsedIcon);
        item.content->setVisible(expanded != 0);
        if (wasOpen != (expanded != 0)) {
            QAccessible::State changed;
            changed.expanded = true;
            changed.collapsed = true;
            changed.checked = true;
            QAccessibleStateChangeEvent event(item.header, changed);
            QAccessible::updateAccessibility(&event);
        }
        return;
    }
}

void CCollapsiblePanel::SetItemExpand(int index, bool bExpanded)
{
    if (QWidget *content = GetItemWidget(index))
        SetItemExpand(content, bExpanded ? 1 : 0);
}

bool CCollapsiblePanel::IsItemExpand(QWidget *content)
{
    for (const PanelItem &item : qAsConst(m_items))
        if (item.content == content)
            return item.expanded != 0;
    return false;
}

int CCollapsiblePanel::GetNumItems()
{
    return m_items.size();
}

QWidget *CCollapsiblePanel::GetItemWidget(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.at(index).content;
}

void CCollapsiblePanel::SetExpandItemMoreThanOne(bool moreThanOne)
{
    m_expandMoreThanOne = moreThanOne;
}

void CCollapsiblePanel::OnPanelClick()
{
    auto *clicked = qobject_cast<QPushButton *>(sender());
    if (!m_expandMoreThanOne) {
        for (int i = 0; i < m_items.size(); ++i)
            if (m_items.at(i).header != clicked)
                SetItemExpand(i, false);
    }
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).header != clicked)
            continue;
        if (!m_items.at(i).content)
            return;
        const bool expanded = m_items.at(i).expanded == 0;
        SetItemExpand(m_items.at(i).content, expanded ? 1 : 0);
        emit ItemChangeState(i, expanded);
        return;
    }
}

void CCollapsiblePanel::focusInEvent(QFocusEvent *)
{
    if (!m_items.isEmpty())
        m_items.first().header->setFocus();
}

void CCollapsiblePanel::resizeEvent(QResizeEvent *)
{
    if (m_background.isNull())
        return;
    QPalette colours = palette();
    colours.setBrush(backgroundRole(),
                     QBrush(m_background.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    setPalette(colours);
}

int CCollapsiblePanel::HeaderState(const QWidget *header) const
{
    for (const PanelItem &item : m_items)
        if (item.header == header)
            return item.expanded != 0 ? 1 : 0;
    return -1;
}
