#pragma once
// The one thing the CalDAV client needs of HTTP: send a request, get the
// answer or the reason none came. The client is written against this and
// nothing else, so that it stays on the standard library and its tests can
// hand it scripted answers; the real transport lives in platform/net.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace remindo::caldav {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method;   // GET, PUT, DELETE, PROPFIND, REPORT, MKCALENDAR
    std::string url;      // absolute, percent-encoded
    HttpHeaders headers;  // Basic credentials are the transport's, not the caller's
    std::string body;
};

// Why no answer came. Anything the server said, whatever its status, is an
// answer and carries TransportError::None.
enum class TransportError {
    None,
    Refused,      // nobody listens there (the server is down)
    Unreachable,  // the name does not resolve, or no route
    Timeout,      // no complete answer within the caller's limit
    TlsUntrusted, // the certificate is not one the system trusts
    Cut,          // the connection ended in the middle of the exchange
    Insecure,     // plain http:// to another computer, refused before connecting
    Cancelled,    // the caller gave up (the program is ending)
    Other,
};

struct HttpResponse {
    TransportError error = TransportError::None;
    std::string errorText; // the transport's words for `error`
    int status = 0;
    HttpHeaders headers;
    std::string body;
    std::string url;       // where the answer came from, after redirects
    int exchanges = 1;     // requests the transport sent for this one (redirects add)

    // The first header of that name, compared without case; empty when none.
    std::string Header(std::string_view name) const;
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Blocks until the answer, an error or the transport's time limit.
    virtual HttpResponse Send(const HttpRequest& request) = 0;
};

const char* TransportErrorName(TransportError error);

} // namespace remindo::caldav
