#include "widgets/panelheaderstyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionButton>

CPanelHeaderStyle::CPanelHeaderStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
{
}

CPanelHeaderStyle::~CPanelHeaderStyle() = default;

void CPanelHeaderStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                    const QWidget *widget) const
{
    if (element != CE_PushButton) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
    if (!button)
        return;

    const QRect r = button->rect;
    int flags = Qt::AlignVCenter | Qt::TextShowMnemonic;
    if (!styleHint(SH_UnderlineShortcut, button, widget))
        flags |= Qt::TextHideMnemonic;

    QLinearGradient gradient(r.left(), r.top(), r.left(), r.bottom());
    gradient.setColorAt(0, QColor(255, 248, 213));
    gradient.setColorAt(1, QColor(255, 210, 0));
    painter->fillRect(r, gradient);

    QPixmap mark = button->icon.pixmap(button->iconSize, QIcon::Normal, QIcon::Off);
    if (!mark.isNull())
        mark = mark.scaled(button->iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const int w = mark.isNull() ? 0 : mark.width();
    const int h = mark.isNull() ? 0 : mark.height();

    painter->save();
    QFont bold = painter->font();
    bold.setBold(true);
    painter->setFont(bold);
    drawItemText(painter, r.adjusted(10, 0, -(w + 10), 0), flags, button->palette,
                 button->state & State_Enabled, button->text, QPalette::ButtonText);
    painter->restore();

    if (!mark.isNull())
        painter->drawPixmap(r.right() - w - 10, r.top() + r.height() / 2 - h / 2, mark);

    if (button->state & State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*button);
        focus.rect = subElementRect(SE_PushButtonFocusRect, button, widget);
        drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}
