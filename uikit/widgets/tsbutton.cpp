#include "widgets/tsbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "widgets/taskaccessible_p.h"

CTsButton::CTsButton(QWidget *parent)
    : QPushButton(parent)
    , m_normalColor(Qt::black)
    , m_highlightColor(Qt::black)
{
    tsuikit::InstallTaskAccessibleFactory();
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_normalColor = palette().color(QPalette::Active, QPalette::ButtonText);
    m_highlightColor = m_normalColor;
    setDown(false);
}

CTsButton::~CTsButton() = default;

void CTsButton::SetTextColor(QColor normal, QColor highlight)
{
    m_normalColor = normal;
    m_highlightColor = highlight;
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::ButtonText, normal);
    colours.setColor(QPalette::Active, QPalette::ButtonText, normal);
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    setPalette(colours);
}

void CTsButton::SetIcons(QIcon enabledIcon, QIcon disabledIcon)
{
    m_enabledIcon = enabledIcon;
    m_disabledIcon = disabledIcon;
    setIcon(isEnabled() ? m_enabledIcon : m_disabledIcon);
}

void CTsButton::setItemEnabled(bool enabled)
{
    setIcon(enabled ? m_enabledIcon : m_disabledIcon);
    setEnabled(enabled);
}

void CTsButton::mousePressEvent(QMouseEvent *event)
{
    // Fire on the press, without the pressed look; the parent sees the press too.
    event->ignore();
    QPointer<CTsButton> alive(this);
    emit clicked(false);
    if (!alive) {
        // Qt would go on to the parent through the destroyed button: end the press here.
        event->accept();
        return;
    }
    emit released();
}

void CTsButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->ignore();
    if (isDown())
        setDown(false);
}

void CTsButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked(false);
        break;
    default:
        // Not QPushButton's: no arrow-key focus moves, no pressed look.
        QWidget::keyPressEvent(event);
        break;
    }
}

void CTsButton::focusInEvent(QFocusEvent *event)
{
    // Not QPushButton's: focus must not make the button its dialog's default.
    QWidget::focusInEvent(event);
    if (isEnabled())
        SetActiveTextColor(m_highlightColor);
}

void CTsButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    SetActiveTextColor(m_normalColor);
    repaint();
}

void CTsButton::enterEvent(QEvent *)
{
    if (!isEnabled())
        return;
    setCursor(Qt::PointingHandCursor);
    SetActiveTextColor(m_highlightColor);
}

void CTsButton::leaveEvent(QEvent *)
{
    unsetCursor();
    SetActiveTextColor(m_normalColor);
    repaint();
}

void CTsButton::SetActiveTextColor(const QColor &colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Active, QPalette::ButtonText, colour);
    setPalette(colours);
}
