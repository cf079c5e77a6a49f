// The entry points of the platform layer's back-ends (loaded with TswBackEndSymbol): their library
// names, symbol names and types, shared by the caller and the back-end.
#pragma once
#include "tsw/types.h"

#include <QString>
#include <QVariantList>

namespace tsw::backend {

// Opening web addresses with libcurl.
inline constexpr char kInternet[] = "TsInternet";
inline constexpr char kOpenUrl[] = "TswOpenUrl";
// Sends the request for `address` (UTF-8; a scheme that can be opened, followed by "//") with the
// user agent `agent` (none when empty), without a proxy when `direct`, and waits for the server's
// first answer within the time-outs of tsw/wininet.h. Returns ERROR_SUCCESS when the server
// answered, else the WinINet status of the failure.
using OpenUrlFn = DWORD (*)(const char *address, const char *agent, bool direct);

// The login manager over D-Bus.
inline constexpr char kLogin[] = "TsLoginManager";
inline constexpr char kLoginCall[] = "TswLoginCall";
// Calls `method` of org.freedesktop.login1.Manager with `arguments` on the system bus, or on the
// bus that TS_LOGIN_BUS_ADDRESS names. Returns true when the call was answered; `answer` then holds
// the answer's one argument as text (empty when it has not exactly one).
using LoginCallFn = bool (*)(const QString &method, const QVariantList &arguments, QString *answer);

} // namespace tsw::backend
