#include "widgets/scrolltaskwidgetarea.h"

CScrollTaskWidgetArea::CScrollTaskWidgetArea(QWidget *parent)
    : QScrollArea(parent)
{
    setFrameStyle(QFrame::NoFrame | QFrame::Plain);
    setWidgetResizable(true);
    setMinimumWidth(200);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
}

CScrollTaskWidgetArea::~CScrollTaskWidgetArea() = default;
