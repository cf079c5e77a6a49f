#include "helpschemes.h"

#include "helpdocument.h"

#include <QWebEngineUrlScheme>

namespace tshelp {

namespace {

// Links between help files: "ms-its:file.chm::/page.htm", "its:…", "mk:@MSITStore:…".
const char *const kLinkSchemes[] = {"ms-its", "its", "mk", nullptr};

bool Registered(const char *name)
{
    return QWebEngineUrlScheme::schemeByName(name).name() == name;
}

} // namespace

const char *const *HelpLinkSchemes()
{
    return kLinkSchemes;
}

// The schemes are secure (pages may use what secure contexts offer; fetch and XMLHttpRequest within
// their own help file work) but neither local nor allowed local access: a help page is outside
// input and must not reach the user's files. The help scheme has hosts (one per help file), so that
// relative links resolve and each file is an origin of its own.
bool RegisterHelpSchemes()
{
    if (Registered(kHelpScheme))
        return true;
    QWebEngineUrlScheme scheme(kHelpScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
    if (!Registered(kHelpScheme))
        return false; // the engine has started: it takes no more schemes
    for (const char *const *name = kLinkSchemes; *name; ++name) {
        QWebEngineUrlScheme link(*name);
        link.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        link.setFlags(QWebEngineUrlScheme::SecureScheme);
        QWebEngineUrlScheme::registerScheme(link);
    }
    return true;
}

} // namespace tshelp
