#include "tsw/axwidget.h"

#include "navigationurl.h"

#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>

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

// The web engine wants the attribute before the application object exists; set it when the library
// is loaded, as the control's own start-up would on Windows.
const bool g_shareContexts = [] {
    if (!QCoreApplication::instance())
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return true;
}();

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
    if (!IsWebBrowser(control)) {
        qWarning("QAxWidget::setControl: requested control %s could not be instantiated",
                 qPrintable(control));
        return false;
    }
    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("WebBrowserControl"));
    layout()->addWidget(m_view);
    connect(m_view, &QWebEngineView::loadStarted, this, [this] { m_busy = true; });
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool) {
        m_busy = false;
        emit documentComplete(m_view->url().toString());
    });
    m_control = control.trimmed();
    return true;
}

QString QAxWidget::control() const
{
    return m_control;
}

void QAxWidget::clear()
{
    delete m_view;
    m_view = nullptr;
    m_busy = false;
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
    // The control's further Navigate arguments (flags, frame, post data, headers) are optional and
    // callers pass them empty.
    if (name == "Navigate" || name == "Navigate2") {
        const QUrl url = tsax::NavigationUrl(var1.toString());
        if (url.isValid())
            m_view->setUrl(url);
        return {};
    }
    if (name == "GoBack") {
        m_view->back();
        return {};
    }
    if (name == "GoForward") {
        m_view->forward();
        return {};
    }
    if (name == "GoHome") {
        m_view->setUrl(QUrl(QStringLiteral("about:blank")));
        return {};
    }
    if (name == "Refresh") {
        m_view->reload();
        return {};
    }
    if (name == "Stop") {
        m_view->stop();
        return {};
    }
    if (name == "LocationURL")
        return m_view->url().toString();
    if (name == "LocationName")
        return m_view->title();
    if (name == "Busy")
        return m_busy;
    qWarning("QAxBase::dynamicCall: %s: No such property or method in %s", name.constData(),
             qPrintable(m_control));
    return {};
}

QSize QAxWidget::sizeHint() const
{
    return m_view ? QSize(640, 480) : QWidget::sizeHint();
}
