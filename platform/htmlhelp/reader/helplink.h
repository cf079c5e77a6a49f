// Addresses that name a page of a compiled help file.
#pragma once
#include <QString>

namespace tshelp {

struct HelpLink
{
    QString file;  // the .chm as written ("TsCCHelpEN.chm", "C:\\folder\\file.chm"), may be relative
    QString topic; // stored-name form ("/page.htm#part"); empty for the file's default topic
    bool valid = false;
};

// Reads "file.chm", "file.chm::/topic.htm", "file.chm::topic.htm>window" and the same with one of the
// prefixes "ms-its:", "its:", "mk:@MSITStore:" (any letter case). Not valid without a file name.
HelpLink ParseHelpLink(const QString &text);

// Whether `text` starts with one of the help-file prefixes above.
bool HasHelpLinkPrefix(const QString &text);

} // namespace tshelp
