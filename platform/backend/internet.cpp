// The back-end that opens web addresses: libcurl and what it needs, loaded with the first session.
#include "backendapi_p.h"
#include "tsw/wininet.h"

#include <curl/curl.h>

#include <string>

#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152L

namespace {

bool CurlReady()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// Redirects are followed, as WinINet does unless INTERNET_FLAG_NO_AUTO_REDIRECT is given (a flag no
// caller passes); a chain longer than this fails with ERROR_HTTP_REDIRECT_FAILED.
constexpr long kMaxRedirects = 5;

bool StartsWithNoCase(const std::string &text, const char *prefix)
{
    for (std::size_t i = 0; prefix[i]; ++i) {
        if (i >= text.size())
            return false;
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

// Stops the transfer at the server's first final answer. HTTP interim answers (1xx) are not final;
// nor is a redirect (3xx) that names where to go, which libcurl then follows; a proxy's answer to a
// tunnel request never reaches here (CURLOPT_SUPPRESS_CONNECT_HEADERS).
struct Answer {
    bool answered = false;
    bool redirect = false;  // the head being read is a 3xx
};

size_t OnHeader(char *data, size_t size, size_t count, void *user)
{
    auto *answer = static_cast<Answer *>(user);
    const std::string line(data, size * count);
    if (line.compare(0, 5, "HTTP/") == 0) {
        answer->redirect = false;
        const std::size_t space = line.find(' ');
        const char digit = space != std::string::npos && space + 1 < line.size() ? line[space + 1] : 0;
        if (digit == '1')
            return size * count;
        if (digit == '3') {
            answer->redirect = true;  // decided at the end of its head: a Location header or not
            return size * count;
        }
        answer->answered = true;
        return 0;
    }
    if (answer->redirect) {
        if (StartsWithNoCase(line, "location:"))
            return size * count;  // followed
        if (line == "\r\n" || line == "\n")
            answer->redirect = false;  // a head without Location ends: that is the answer
        return size * count;
    }
    if (!line.empty() && line[0] >= '0' && line[0] <= '9') {  // an FTP reply
        answer->answered = true;
        return 0;
    }
    return size * count;
}

size_t OnData(char *, size_t, size_t, void *user)
{
    auto *answer = static_cast<Answer *>(user);
    if (answer->redirect)
        return 0;  // (a redirect's own body is not read, and libcurl does not hand it here)
    answer->answered = true;
    return 0;  // no data is read
}

DWORD StatusOf(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT:
        return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
        return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_WEIRD_SERVER_REPLY:
        return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_TOO_MANY_REDIRECTS:
        return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return ERROR_INTERNET_CONNECTION_RESET;
    default:
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) DWORD TswOpenUrl(const char *address,
                                                                    const char *agent, bool direct)
{
    static_assert(std::is_same_v<decltype(&TswOpenUrl), tsw::backend::OpenUrlFn>);
    if (!CurlReady())
        return ERROR_INTERNET_INTERNAL_ERROR;
    CURLU *parsed = curl_url();
    if (!parsed)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (curl_url_set(parsed, CURLUPART_URL, address, 0) != CURLUE_OK) {
        curl_url_cleanup(parsed);
        return ERROR_INTERNET_INVALID_URL;
    }
    CURL *curl = curl_easy_init();
    if (!curl) {
        curl_url_cleanup(parsed);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    Answer answer;
    curl_easy_setopt(curl, CURLOPT_CURLU, parsed);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,gopher");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(TSW_INTERNET_CONNECT_TIMEOUT_MS));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(TSW_INTERNET_TOTAL_TIMEOUT_MS));
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &answer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
    if (agent && *agent)
        curl_easy_setopt(curl, CURLOPT_USERAGENT, agent);
    if (direct)
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    curl_url_cleanup(parsed);
    if (!answer.answered && code != CURLE_OK)
        return StatusOf(code);
    return ERROR_SUCCESS;
}
