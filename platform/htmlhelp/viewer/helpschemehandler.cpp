#include "helpschemehandler.h"

#include "helpcontent.h"
#include "helpdocument.h"
#include "helplink.h"
#include "helpschemes.h"
#include "helpworkers.h"

#include <QBuffer>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>

#include <memory>

namespace tshelp {

namespace {

// The bytes of one reply, charged to their document's reply budget while the engine holds them.
class ReplyBuffer : public QBuffer
{
public:
    ReplyBuffer(std::shared_ptr<HelpDocument> document, const QByteArray &data, QObject *parent)
        : QBuffer(parent)
        , m_document(std::move(document))
        , m_size(data.size())
    {
        setData(data);
    }
    ~ReplyBuffer() override { m_document->release(m_size); }

private:
    std::shared_ptr<HelpDocument> m_document;
    qint64 m_size;
};

QByteArray NotFoundPage(const QString &name)
{
    const QString title = QCoreApplication::translate("tshelp::HelpViewer", "Page not found");
    const QString text = QCoreApplication::translate(
        "tshelp::HelpViewer", "This help file has no page named %1. It may have been removed or renamed.");
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body id=\"tshelp-not-found\" style=\"font-family: sans-serif\"><h2>%1</h2>"
                          "<p>%2</p></body></html>")
        .arg(title.toHtmlEscaped(), text.arg(name.toHtmlEscaped()))
        .toUtf8();
}

} // namespace

HelpSchemeHandler::~HelpSchemeHandler() = default;

const char *const *HelpSchemeHandler::linkSchemes()
{
    return HelpLinkSchemes();
}

void HelpSchemeHandler::installIn(QWebEngineProfile *profile)
{
    if (profile->urlSchemeHandler(kHelpScheme))
        return;
    auto *handler = new HelpSchemeHandler(profile);
    profile->installUrlSchemeHandler(kHelpScheme, handler);
    for (const char *const *name = HelpLinkSchemes(); *name; ++name)
        profile->installUrlSchemeHandler(*name, handler);
}

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
    const std::shared_ptr<HelpDocument> target
        = HelpDocument::open(from ? from->linkedFile(parsed.file) : parsed.file);
    if (!target) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // (the target need not stay open: its key opens it again when its page is asked for)
    job->redirect(target->urlFor(parsed.topic));
}

void HelpSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (url.scheme() != QLatin1String(kHelpScheme)) {
        const QUrl initiator = job->initiator();
        redirectLink(job, QUrl::fromPercentEncoding(url.toEncoded()),
                     initiator.scheme() == QLatin1String(kHelpScheme) ? initiator.host() : QString());
        return;
    }
    const QString encodedPath = url.path(QUrl::FullyEncoded);
    const QString path = QUrl::fromPercentEncoding(encodedPath.toUtf8());
    const int separator = path.indexOf(QLatin1String("::"));
    if (separator >= 0) {
        // "other.chm::/page.htm" written as a relative link: the engine made it a path of this file.
        const int slash = path.lastIndexOf(QLatin1Char('/'), separator);
        redirectLink(job, path.mid(slash + 1), url.host());
        return;
    }
    std::shared_ptr<HelpDocument> document = HelpDocument::find(url.host());
    if (!document) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QPointer<QWebEngineUrlRequestJob> pending(job);
    RunInBackground(
        this, [document, encodedPath] { return document->content(encodedPath); },
        [pending, document, encodedPath](HelpReply reply) {
            if (!pending)
                return; // the engine no longer wants it
            if (!reply.found) {
                if (!IsPageName(encodedPath)) {
                    pending->fail(QWebEngineUrlRequestJob::UrlNotFound);
                    return;
                }
                // A page the file does not hold (a favorite of a topic since removed, a broken link):
                // the viewer's own page says so.
                reply.found = true;
                reply.mimeType = "text/html";
                reply.data = NotFoundPage(QUrl::fromPercentEncoding(encodedPath.toUtf8()));
            }
            if (!document->reserve(reply.data.size())) {
                pending->fail(QWebEngineUrlRequestJob::RequestDenied);
                return;
            }
            // The job owns what it reads from.
            pending->reply(reply.mimeType, new ReplyBuffer(document, reply.data, pending));
        });
}

} // namespace tshelp
