// Pointing an embedded browser at a web page, or at the page installed with the product.
#pragma once

#include "foundation/tsuikitglobal.h"

class CHtmlAxWidget;

/**
 * Navigates @p view to @p address, exactly as given, when the network may be used
 * (IsNetwokOverrideLocal() is false) and the address answers (IsNetwokConnectedUrl(), which blocks
 * with the wait cursor). Otherwise navigates to the local page: the installation folder, a
 * backslash and the language module's text 755 ("local\\index.htm"); with @p ccPage, the last
 * "local" of that path reads "localcc" (the console's pages). The page loads asynchronously.
 */
TSUIKIT_EXPORT void HtmlPageUpdate(CHtmlAxWidget *view, const WString &address, bool ccPage);
