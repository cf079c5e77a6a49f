// What the WebBrowser control's Navigate makes of its argument.
#pragma once
#include <QString>
#include <QUrl>

namespace tsax {

// An address with a scheme stays as it is; a local path ("/folder/page.htm", "folder\\page.htm" with
// backslashes as separators, "~" not expanded) becomes a file address, relative paths taken from the
// current folder; anything else is read as a web address without its scheme ("example.com/page").
// An empty or blank text gives an invalid address.
QUrl NavigationUrl(const QString &target);

} // namespace tsax
