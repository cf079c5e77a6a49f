#include "tsw/sharedgl.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QThread>

// QtGui's global shared context (private to Qt; the web engine sets it the same way when it is
// initialised after the application object).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace {

QOpenGLContext *g_context = nullptr;

void Release()
{
    if (QOpenGLContext::globalShareContext() == g_context)
        qt_gl_set_global_share_context(nullptr);
    delete g_context;
    g_context = nullptr;
}

} // namespace

void TswShareOpenGLContexts()
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app || app->thread() != QThread::currentThread() || QOpenGLContext::globalShareContext())
        return;
    g_context = new QOpenGLContext;
    g_context->setFormat(QSurfaceFormat::defaultFormat());
    g_context->create();
    qt_gl_set_global_share_context(g_context);
    qAddPostRoutine(Release);
}
