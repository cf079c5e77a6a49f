#include "helppage.h"

#include "helpdocument.h"
#include "helplink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QWidget>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace tshelp {

HelpPage::HelpPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    // A link written "other.chm::/page.htm" names a page of the help file beside this one, but an
    // address parser reads "other.chm" as its scheme. Followed, it becomes "ms-its:other.chm::/…",
    // which the scheme handler resolves from the linking page's file. (In a world of its own: the
    // page's scripts neither see nor undo it.)
    QWebEngineScript script;
    script.setName(QStringLiteral("tshelp-relative-links"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral(
        "document.addEventListener('click', function (event) {"
        "  var a = event.target && event.target.closest ? event.target.closest('a[href]') : null;"
        "  var href = a ? a.getAttribute('href') : '';"
        "  if (/^[^:\\/?#]+\\.chm::/i.test(href)) a.setAttribute('href', 'ms-its:' + href);"
        "}, true);"));
    scripts().insert(script);
    // User input reaches the page's view through widgets the engine makes and replaces as it likes;
    // watch it where it all passes.
    qApp->installEventFilter(this);
}

HelpPage::~HelpPage() = default;

namespace {

// How long after the user's click or key press a link followed counts as followed by the user.
constexpr qint64 kUserActionWindowMs = 1000;

} // namespace

bool HelpPage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool input = type == QEvent::MouseButtonRelease
        || (type == QEvent::KeyPress && !static_cast<QKeyEvent *>(event)->isAutoRepeat());
    if (input && watched->isWidgetType()) {
        QWidget *shown = view();
        for (auto *w = static_cast<QWidget *>(watched); w && shown; w = w->parentWidget()) {
            if (w == shown) {
                m_lastInput.start();
                break;
            }
        }
    }
    return QWebEnginePage::eventFilter(watched, event);
}

bool HelpPage::userJustActed() const
{
    return m_lastInput.isValid() && m_lastInput.elapsed() <= kUserActionWindowMs;
}

bool IsViewerAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String(kHelpScheme) || scheme == QLatin1String("about")
        || scheme == QLatin1String("data") || HasHelpLinkPrefix(url.toString());
}

bool IsOutsideAddressToOpen(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("mailto"));
}

bool HelpPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (IsViewerAddress(url))
        return true;
    // A page of the viewer never leaves it, in any frame. A web or mail link that the user
    // followed goes to the user's programs; one that a script followed alone goes nowhere.
    if (isMainFrame && type == NavigationTypeLinkClicked && IsOutsideAddressToOpen(url)
        && userJustActed()) {
        m_lastInput.invalidate(); // one click, one address
        QDesktopServices::openUrl(url);
    }
    return false;
}

} // namespace tshelp
