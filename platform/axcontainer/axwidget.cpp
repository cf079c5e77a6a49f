#include "tsw/axwidget.h"
QAxWidget::QAxWidget(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}
QAxWidget::QAxWidget(const QString &control, QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags) { setControl(control); }
QAxWidget::~QAxWidget() = default;
bool QAxWidget::setControl(const QString &) { return false; }
QString QAxWidget::control() const { return m_control; }
void QAxWidget::clear() {}
bool QAxWidget::isNull() const { return true; }
QVariant QAxWidget::dynamicCall(const char *, const QVariant &, const QVariant &, const QVariant &, const QVariant &, const QVariant &, const QVariant &, const QVariant &, const QVariant &) { return {}; }
QSize QAxWidget::sizeHint() const { return QWidget::sizeHint(); }
