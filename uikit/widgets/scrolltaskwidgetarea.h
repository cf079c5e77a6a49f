// A frameless scroll area for a task panel.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QScrollArea>

/**
 * @class CScrollTaskWidgetArea scrolltaskwidgetarea.h "widgets/scrolltaskwidgetarea.h"
 * A QScrollArea without a frame, at least 200 pixels wide (size policy Minimum horizontally,
 * Preferred vertically), whose widget (setWidget) is resized with the area and scrolled only when it
 * needs more room than it gets. QScrollArea fills the widget's background, so a CCollapsiblePanel
 * set here shows its picture. No meta-object of its own.
 */
class TSUIKIT_EXPORT CScrollTaskWidgetArea : public QScrollArea
{
public:
    explicit CScrollTaskWidgetArea(QWidget *parent = nullptr);
    ~CScrollTaskWidgetArea() override;
};
