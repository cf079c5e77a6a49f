// Serves the objects of open help files to the web engine under the "tshelp" scheme, and turns links
// between help files ("ms-its:file.chm::/page.htm") into addresses of that scheme.
#pragma once
#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

namespace tshelp {

class HelpSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    ~HelpSchemeHandler() override;

    // Objects are read on the help workers' threads and answered when read; a request that the
    // engine dropped meanwhile gets nothing.
    void requestStarted(QWebEngineUrlRequestJob *job) override;

    // Installs a handler for the help schemes in `profile` (the help pages' own profile only).
    static void installIn(QWebEngineProfile *profile);

    // The schemes of links between help files: "ms-its", "its", "mk".
    static const char *const *linkSchemes();

private:
    void redirectLink(QWebEngineUrlRequestJob *job, const QString &link, const QString &fromKey);
};

} // namespace tshelp
