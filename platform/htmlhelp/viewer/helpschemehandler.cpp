#include "helpschemehandler.h"

#include "helpcontent.h"
#include "helpdocument.h"
#include "helplink.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace tshelp {

namespace {

// Links between help files: "ms-its:file.chm::/page.htm", "its:…", "mk:@MSITStore:…".
const char *const kLinkSchemes[] = {"ms-its", "its", "mk"};

// The engine reads its schemes once, before the application object exists; register ours when the
// library is loaded. The engine also wants shared OpenGL contexts set by then.
const bool g_schemeRegistered = [] {
    if (QCoreApplication::instance())
        return false;
    QWebEngineUrlScheme scheme(kHelpScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme
                    | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
    for (const char *name : kLinkSchemes) {
        QWebEngineUrlScheme link(name);
        link.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        link.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme
                      | QWebEngineUrlScheme::LocalAccessAllowed);
        QWebEngineUrlScheme::registerScheme(link);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return true;
}();

} // namespace

HelpSchemeHandler::~HelpSchemeHandler() = default;

// A link to a page of another help file. A relative file name is taken from the folder of the help
// file whose page holds the link, as the system's viewer does.
void HelpSchemeHandler::redirectLink(QWebEngineUrlRequestJob *job, const QString &link,
                                     const QString &fromKey)
{
    const HelpLink parsed = ParseHelpLink(link);
    if (!parsed.valid) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    const std::shared_ptr<HelpDocument> from = HelpDocument::find(fromKey);
    std::shared_ptr<HelpDocument> target
        = HelpDocument::open(from ? from->linkedFile(parsed.file) : parsed.file);
    if (!target) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    if (std::find(m_linked.begin(), m_linked.end(), target) == m_linked.end())
        m_linked.push_back(target);
    job->redirect(target->urlFor(parsed.topic));
}

void HelpSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (url.scheme() != QLatin1String(kHelpScheme)) {
        const QUrl initiator = job->initiator();
        redirectLink(job, url.toString(QUrl::FullyDecoded),
                     initiator.scheme() == QLatin1String(kHelpScheme) ? initiator.host() : QString());
        return;
    }
    const QString path = url.path(QUrl::FullyDecoded);
    const int separator = path.indexOf(QLatin1String("::"));
    if (separator >= 0) {
        // "other.chm::/page.htm" written as a relative link: the engine made it a path of this file.
        const int slash = path.lastIndexOf(QLatin1Char('/'), separator);
        redirectLink(job, path.mid(slash + 1), url.host());
        return;
    }
    const std::shared_ptr<HelpDocument> document = HelpDocument::find(url.host());
    if (!document) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const HelpReply reply = HelpContent(document->file(), url.path(QUrl::FullyEncoded));
    if (!reply.found) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto *buffer = new QBuffer(job); // the job owns what it reads from
    buffer->setData(reply.data);
    job->reply(reply.mimeType, buffer);
}

QWebEngineProfile *HelpSchemeHandler::profile()
{
    QWebEngineProfile *profile = QWebEngineProfile::defaultProfile();
    if (!profile->urlSchemeHandler(kHelpScheme)) {
        auto *handler = new HelpSchemeHandler(profile);
        profile->installUrlSchemeHandler(kHelpScheme, handler);
        for (const char *name : kLinkSchemes)
            profile->installUrlSchemeHandler(name, handler);
    }
    return profile;
}

} // namespace tshelp
