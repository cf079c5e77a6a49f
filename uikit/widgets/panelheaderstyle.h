// The look of a collapsible panel's section headers.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QProxyStyle>

/**
 * @class CPanelHeaderStyle panelheaderstyle.h "widgets/panelheaderstyle.h"
 * A proxy over Qt's "Windows" style that draws push buttons as section headers: a vertical gradient
 * from (255, 248, 213) at the top to (255, 210, 0) at the bottom, without bevel or frame; the caption
 * in bold, 10 pixels in from the left, in the palette's ButtonText; the button's icon (the
 * expand/collapse mark) at its own size, 10 pixels in from the right and centred vertically; a focus
 * rectangle while the button has the focus. Everything else is drawn as the Windows style draws it.
 * Each header gets its own instance; CCollapsiblePanel creates and deletes them.
 */
class TSUIKIT_EXPORT CPanelHeaderStyle : public QProxyStyle
{
public:
    CPanelHeaderStyle();
    ~CPanelHeaderStyle() override;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};
