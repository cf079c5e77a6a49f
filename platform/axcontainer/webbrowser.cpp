// The WebBrowser control over the web engine: the back-end that QAxWidget loads when it first hosts
// the control.
#include "axcontrol.h"
#include "helpschemes.h"
#include "navigationurl.h"

#include <QWebEngineView>

#include <utility>

namespace {

class WebBrowserControl : public QWebEngineView, public tsax::AxControl
{
public:
    WebBrowserControl(QWidget *parent, std::function<void(const QString &)> loaded)
        : QWebEngineView(parent)
    {
        setObjectName(QStringLiteral("WebBrowserControl"));
        connect(this, &QWebEngineView::loadStarted, this, [this] { m_busy = true; });
        connect(this, &QWebEngineView::loadFinished, this, [this, loaded = std::move(loaded)](bool) {
            m_busy = false;
            loaded(url().toString());
        });
    }

    QWidget *widget() override { return this; }

    bool call(const QByteArray &name, const QVariant &argument, QVariant *result) override
    {
        *result = QVariant();
        // The control's further Navigate arguments (flags, frame, post data, headers) are optional
        // and callers pass them empty.
        if (name == "Navigate" || name == "Navigate2") {
            const QUrl target = tsax::NavigationUrl(argument.toString());
            if (target.isValid())
                setUrl(target);
        } else if (name == "GoBack") {
            back();
        } else if (name == "GoForward") {
            forward();
        } else if (name == "GoHome") {
            setUrl(QUrl(QStringLiteral("about:blank")));
        } else if (name == "Refresh") {
            reload();
        } else if (name == "Stop") {
            stop();
        } else if (name == "LocationURL") {
            *result = url().toString();
        } else if (name == "LocationName") {
            *result = title();
        } else if (name == "Busy") {
            *result = m_busy;
        } else {
            return false;
        }
        return true;
    }

private:
    bool m_busy = false;
};

} // namespace

extern "C" __attribute__((visibility("default"))) tsax::AxControl *
TswCreateWebBrowser(QWidget *parent, std::function<void(const QString &)> loaded)
{
    static_assert(std::is_same_v<decltype(&TswCreateWebBrowser), tsax::CreateWebBrowserFn>);
    // The help pages' schemes must be known before the engine starts, which this view may do.
    tshelp::RegisterHelpSchemes();
    return new WebBrowserControl(parent, std::move(loaded));
}
