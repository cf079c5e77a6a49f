// The web profile of help pages: apart from every other web view of the process, kept in memory only,
// with the help schemes installed, no access to local files and no way to the network.
#pragma once
#include <QWebEngineUrlRequestInterceptor>

class QWebEngineProfile;

namespace tshelp {

// The help pages' profile, made on first use (GUI thread, with an application object). It lives as
// long as the application object.
QWebEngineProfile *HelpProfile();

// Lets through only what help pages are made of: the help schemes and the engine's own inline
// addresses (data, blob, about). Everything else, the network and local files above all, is blocked.
class HelpRequestInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // Whether a request for `url` may go ahead.
    static bool allowed(const QUrl &url);
};

} // namespace tshelp
