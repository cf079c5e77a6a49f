// Connectivity state and opening web addresses.
//
// Opening an address sends its request with libcurl and waits for the server's first answer; the
// answer's status does not matter, and no data is read. Every transfer is bounded: the connection
// (name lookup included) must be made within TSW_INTERNET_CONNECT_TIMEOUT_MS and the answer must
// have arrived within TSW_INTERNET_TOTAL_TIMEOUT_MS of the start, because callers wait on their GUI
// thread. Proxies are those of the environment as libcurl reads them (http_proxy, https_proxy,
// ftp_proxy, all_proxy, no_proxy), the nearest thing to the system's preconfigured settings.
// Redirections are not followed: a redirection is an answer.
//
// libcurl is a back-end loaded with the first session (tsw/backend.h); when it cannot be loaded,
// InternetOpenW fails with ERROR_INTERNET_INTERNAL_ERROR.
//
// Handles are never reused within a process, so a closed handle stays invalid. All calls are
// thread-safe; failures set the calling thread's last error.
#pragma once
#include "tsplatform_export.h"
#include "tsw/lasterror.h"
#include "tsw/types.h"

typedef void *HINTERNET;
typedef ULONG_PTR DWORD_PTR;
typedef DWORD *LPDWORD;

#define TSW_INTERNET_CONNECT_TIMEOUT_MS 5000
#define TSW_INTERNET_TOTAL_TIMEOUT_MS 10000

// InternetGetConnectedState flags.
#define INTERNET_CONNECTION_MODEM 0x01
#define INTERNET_CONNECTION_LAN 0x02
#define INTERNET_CONNECTION_PROXY 0x04
#define INTERNET_CONNECTION_OFFLINE 0x20
#define INTERNET_CONNECTION_CONFIGURED 0x40

// Access types of InternetOpenW.
#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_OPEN_TYPE_PROXY 3

// Status codes.
#define INTERNET_ERROR_BASE 12000
#define ERROR_INTERNET_TIMEOUT 12002L
#define ERROR_INTERNET_INTERNAL_ERROR 12004L
#define ERROR_INTERNET_INVALID_URL 12005L
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006L
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007L
#define ERROR_INTERNET_CANNOT_CONNECT 12029L
#define ERROR_INTERNET_CONNECTION_ABORTED 12030L
#define ERROR_INTERNET_CONNECTION_RESET 12031L
#define ERROR_HTTP_REDIRECT_FAILED 12156L
#define ERROR_INTERNET_SECURITY_CHANNEL_ERROR 12157L
#ifndef ERROR_NOT_SUPPORTED
#define ERROR_NOT_SUPPORTED 50L
#endif

// TRUE when a network interface other than loopback is up and running with an IPv4 or IPv6
// address; `*flags` (optional) then receives INTERNET_CONNECTION_LAN. FALSE otherwise, with
// `*flags` 0. `reserved` must be 0 (FALSE with ERROR_INVALID_PARAMETER).
TSPLATFORM_API BOOL InternetGetConnectedState(LPDWORD flags, DWORD reserved);

// A session that sends `agent` as the user agent of its requests. Only INTERNET_OPEN_TYPE_PRECONFIG
// and INTERNET_OPEN_TYPE_DIRECT (no proxy, whatever the environment says) are supported, without a
// proxy name or bypass list and with flags 0 (otherwise null with ERROR_INVALID_PARAMETER).
TSPLATFORM_API HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy,
                                       LPCWSTR proxyBypass, DWORD flags);

// Opens `url` (http, https, ftp or gopher, scheme in any case) in `session`: returns a handle when
// the server answered within the time-outs. A redirect that names its target is followed (http and
// https, at most 5 in a row) and only the answer at its end counts. Null otherwise with
// ERROR_HTTP_REDIRECT_FAILED (a longer chain), ERROR_INTERNET_UNRECOGNIZED_SCHEME,
// ERROR_INTERNET_INVALID_URL, ERROR_INTERNET_NAME_NOT_RESOLVED, ERROR_INTERNET_CANNOT_CONNECT,
// ERROR_INTERNET_TIMEOUT, ERROR_INTERNET_CONNECTION_RESET (the server closed without answering),
// ERROR_INTERNET_SECURITY_CHANNEL_ERROR, ERROR_INVALID_HANDLE (not a session) or
// ERROR_INVALID_PARAMETER (extra headers or flags, which are not supported).
TSPLATFORM_API HINTERNET InternetOpenUrlW(HINTERNET session, LPCWSTR url, LPCWSTR headers,
                                          DWORD headersLength, DWORD flags, DWORD_PTR context);

// Closes a session or address handle. FALSE with ERROR_INVALID_HANDLE for an unknown handle.
TSPLATFORM_API BOOL InternetCloseHandle(HINTERNET handle);

// Test seam: the number of sessions InternetOpenW has opened in this process.
TSPLATFORM_API unsigned long TswInternetSessionsOpened();
