// A page of the help viewer: pages of help files stay in the viewer, outside addresses go to the
// user's web browser.
#pragma once
#include <QWebEnginePage>

namespace tshelp {

class HelpPage : public QWebEnginePage
{
    Q_OBJECT
public:
    HelpPage(QWebEngineProfile *profile, QObject *parent);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
};

// Whether the viewer shows `url` itself: help files, the engine's blank and data pages. Everything
// else is an outside address.
bool IsViewerAddress(const QUrl &url);

} // namespace tshelp
