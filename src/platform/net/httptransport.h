#pragma once
// The CalDAV client's HTTP on Qt Network. Send() blocks its caller on a local
// event loop, so it belongs on a thread of its own (NetThread) in the
// program, and may run on the main thread of a tool. A QCoreApplication must exist.

#include "caldav/http.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;
class QThread;

namespace remindo::net {

struct TransportOptions {
    // Each request, redirects included, ends by then: a server that stalls
    // costs this long and no longer.
    std::chrono::milliseconds timeout{std::chrono::seconds(30)};
    // Plain http:// to another computer; without it only to this one.
    bool insecure = false;
    // Sent as Basic credentials with every request (UTF-8).
    std::string user;
    std::string password;
    int maxRedirects = 5;
};

class QtHttpTransport final : public caldav::HttpTransport {
public:
    explicit QtHttpTransport(TransportOptions options);
    ~QtHttpTransport() override;
    QtHttpTransport(const QtHttpTransport&) = delete;
    QtHttpTransport& operator=(const QtHttpTransport&) = delete;

    // TLS errors are never ignored: a certificate the system does not trust
    // ends the request as TlsUntrusted. Redirects are followed only to the
    // same scheme, host and port.
    caldav::HttpResponse Send(const caldav::HttpRequest& request) override;

    // From any thread: the request under way ends as Cancelled, and so does
    // every later one.
    void Cancel();

    // True for an address of this computer: 127.0.0.0/8, ::1, "localhost".
    static bool IsLoopback(const std::string& host);

private:
    void DropManager();

    TransportOptions options_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    QThread* managerThread_ = nullptr;
    std::atomic<bool> cancelled_{false};
    std::mutex replyMutex_;
    QNetworkReply* reply_ = nullptr; // the one under way, for Cancel()
};

} // namespace remindo::net
