// Serves the objects of open help files to the web engine under the "tshelp" scheme, and turns links
// between help files ("ms-its:file.chm::/page.htm") into addresses of that scheme.
#pragma once
#include <QWebEngineUrlSchemeHandler>

#include <memory>
#include <vector>

class QWebEngineProfile;

namespace tshelp {

class HelpDocument;

class HelpSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    ~HelpSchemeHandler() override;
    void requestStarted(QWebEngineUrlRequestJob *job) override;

    // The profile the help viewers use, with the handler installed (on first use).
    static QWebEngineProfile *profile();

private:
    void redirectLink(QWebEngineUrlRequestJob *job, const QString &link, const QString &fromKey);

    // Files opened through links stay open while the engine may come back to them.
    std::vector<std::shared_ptr<HelpDocument>> m_linked;
};

} // namespace tshelp
