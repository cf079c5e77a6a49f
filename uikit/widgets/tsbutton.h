// A push button that behaves like a link in a task list.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QColor>
#include <QIcon>
#include <QPushButton>

/**
 * @class CTsButton tsbutton.h "widgets/tsbutton.h"
 * A push button with the look and feel of a task-list link:
 * - it fires clicked(false) (followed by released()) when the mouse button goes down, and on
 *   Return, Enter and Space; it never shows a pressed look. The mouse press is passed on to the
 *   parent widget as well, unless a handler of clicked() destroyed the button (or an ancestor):
 *   then the press ends there;
 * - while the mouse is over it (enabled buttons only) it shows the pointing-hand cursor, and while
 *   hovered or focused its text takes the highlight colour (SetTextColor);
 * - it carries one icon for the enabled and one for the disabled state. setItemEnabled() switches
 *   both the icon and the enabled state; plain setEnabled() leaves the icon alone.
 *
 * Colours act on the button's own palette, role QPalette::ButtonText. The button declares no
 * meta-object of its own (its meta-object is QPushButton's). Screen readers see a button named by its
 * caption without mnemonic marks; a header of a CCollapsiblePanel also reports whether it is expanded.
 */
class TSUIKIT_EXPORT CTsButton : public QPushButton
{
public:
    /** Mouse tracking on, focus by tab and click, text colours from the palette's ButtonText. */
    explicit CTsButton(QWidget *parent = nullptr);
    ~CTsButton() override;

    /**
     * Stores both colours and sets the palette's ButtonText: @p normal for the active and inactive
     * groups, grey (128, 128, 128) for the disabled group. @p highlight is used while hovered or
     * focused.
     */
    void SetTextColor(QColor normal, QColor highlight);

    /** Stores both icons and shows the one that fits the current enabled state. */
    void SetIcons(QIcon enabledIcon, QIcon disabledIcon);

    /** Shows the enabled (true) or disabled (false) icon, then calls setEnabled(@p enabled). */
    virtual void setItemEnabled(bool enabled);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // Sets the active group's ButtonText (the one the style paints a focused window with).
    void SetActiveTextColor(const QColor &colour);

    QIcon m_enabledIcon;
    QIcon m_disabledIcon;
    QColor m_normalColor;
    QColor m_highlightColor;
};
