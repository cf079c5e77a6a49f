#include "help/htmlaxwidget.h"

CHtmlAxWidget::CHtmlAxWidget(QWidget *parent) : QAxWidget(parent, Qt::FramelessWindowHint)
{
    setContentsMargins(0, 0, 0, 0);
    setControl(QStringLiteral("{8856F961-340A-11D0-A96B-00C04FD705A2}"));
}

CHtmlAxWidget::~CHtmlAxWidget() = default;
