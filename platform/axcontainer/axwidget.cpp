#include "tsw/axwidget.h"

#include "axcontrol.h"
#include "tsw/backend.h"
#include "tsw/sharedgl.h"

#include <QVBoxLayout>

namespace {

// The one control this container knows: the WebBrowser control, by class id or program id.
bool IsWebBrowser(const QString &control)
{
    static const QLatin1String ids[] = {QLatin1String("{8856F961-340A-11D0-A96B-00C04FD705A2}"),
                                        QLatin1String("Shell.Explorer.2"),
                                        QLatin1String("Shell.Explorer")};
    const QString name = control.trimmed();
    for (const QLatin1String &id : ids) {
        if (name.compare(id, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// "Navigate(const QString&)" -> "Navigate"
QByteArray MemberName(const char *function)
{
    QByteArray name(function ? function : "");
    const int paren = name.indexOf('(');
    if (paren >= 0)
        name.truncate(paren);
    return name.trimmed();
}

} // namespace

QAxWidget::QAxWidget(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QAxWidget::QAxWidget(const QString &control, QWidget *parent, Qt::WindowFlags flags)
    : QAxWidget(parent, flags)
{
    setControl(control);
}

QAxWidget::~QAxWidget() = default;

bool QAxWidget::setControl(const QString &control)
{
    if (m_view && IsWebBrowser(control))
        return true; // already hosted, as the container keeps a control it is asked for again
    clear();
    if (control.trimmed().isEmpty())
        return false;
    if (IsWebBrowser(control) && !TswBackEndLoaded(tsax::kWebBrowserBackEnd))
        TswShareOpenGLContexts(); // (what the engine wants before it is loaded)
    const auto create = IsWebBrowser(control)
        ? reinterpret_cast<tsax::CreateWebBrowserFn>(
            TswBackEndSymbol(tsax::kWebBrowserBackEnd, tsax::kCreateWebBrowser))
        : nullptr;
    if (!create) {
        qWarning("QAxWidget::setControl: requested control %s could not be instantiated",
                 qPrintable(control));
        return false;
    }
    m_view = create(this, [this](const QString &url) { emit documentComplete(url); });
    layout()->addWidget(m_view->widget());
    m_control = control.trimmed();
    return true;
}

QString QAxWidget::control() const
{
    return m_control;
}

void QAxWidget::clear()
{
    if (m_view)
        delete m_view->widget();
    m_view = nullptr;
    m_control.clear();
}

bool QAxWidget::isNull() const
{
    return m_view == nullptr;
}

QVariant QAxWidget::dynamicCall(const char *function, const QVariant &var1, const QVariant &,
                                const QVariant &, const QVariant &, const QVariant &,
                                const QVariant &, const QVariant &, const QVariant &)
{
    const QByteArray name = MemberName(function);
    if (!m_view) {
        qWarning("QAxBase::dynamicCall: %s: no control", name.constData());
        return {};
    }
    QVariant result;
    if (!m_view->call(name, var1, &result))
        qWarning("QAxBase::dynamicCall: %s: No such property or method in %s", name.constData(),
                 qPrintable(m_control));
    return result;
}

QSize QAxWidget::sizeHint() const
{
    return m_view ? QSize(640, 480) : QWidget::sizeHint();
}
