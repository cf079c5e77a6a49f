// A page of the help viewer: pages of help files stay in the viewer; the user's own click on a web or
// mail link opens it in the user's programs; nothing else leaves.
#pragma once
#include <QElapsedTimer>
#include <QWebEnginePage>

namespace tshelp {

class HelpPage : public QWebEnginePage
{
    Q_OBJECT
public:
    HelpPage(QWebEngineProfile *profile, QObject *parent);
    ~HelpPage() override;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Whether the user has just clicked or pressed a key in this page's view: a link followed
    // without that was followed by a script.
    bool userJustActed() const;

    QElapsedTimer m_lastInput;
};

// Whether the viewer shows `url` itself: help files, the engine's blank and data pages. Everything
// else is an outside address.
bool IsViewerAddress(const QUrl &url);

// Whether an outside address may be handed to the user's programs when the user follows it: web and
// mail addresses only.
bool IsOutsideAddressToOpen(const QUrl &url);

} // namespace tshelp
