#include "platform/net/httptransport.h"

#include "caldav/url.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <optional>

#include <remindo_version.h>

namespace remindo::net {
namespace {

using caldav::HttpResponse;
using caldav::TransportError;

HttpResponse Failed(TransportError error, std::string text, int exchanges)
{
    HttpResponse r;
    r.error = error;
    r.errorText = std::move(text);
    r.exchanges = exchanges;
    return r;
}

// What went wrong below HTTP; a status the server sent is no error here.
TransportError Kind(QNetworkReply::NetworkError e, bool sslErrors)
{
    switch (e) {
    case QNetworkReply::ConnectionRefusedError: return TransportError::Refused;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError: return TransportError::Unreachable;
    case QNetworkReply::TimeoutError: return TransportError::Timeout;
    case QNetworkReply::SslHandshakeFailedError: return sslErrors ? TransportError::TlsUntrusted : TransportError::Other;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProtocolFailure: return TransportError::Cut;
    default: return TransportError::Other;
    }
}

// Connection-level failures; Qt also reports a 4xx or 5xx status as an error.
bool BelowHttp(QNetworkReply::NetworkError e)
{
    return (e > QNetworkReply::NoError && e < QNetworkReply::ContentAccessDenied) ||
           e == QNetworkReply::ProtocolFailure || e == QNetworkReply::ProtocolUnknownError ||
           e == QNetworkReply::ProtocolInvalidOperationError;
}

} // namespace

QtHttpTransport::QtHttpTransport(TransportOptions options) : options_(std::move(options)) {}

QtHttpTransport::~QtHttpTransport() { DropManager(); }

void QtHttpTransport::DropManager()
{
    // A manager belongs to the thread that made it (a NetThread, say): it goes there.
    if (manager_ && managerThread_ != QThread::currentThread())
        manager_.release()->deleteLater();
    manager_.reset();
}

bool QtHttpTransport::IsLoopback(const std::string& host)
{
    const QString h = QString::fromStdString(host).toLower();
    if (h == QLatin1String("localhost"))
        return true;
    const QHostAddress address(h);
    return !address.isNull() && address.isLoopback();
}

void QtHttpTransport::Cancel()
{
    cancelled_ = true;
    std::lock_guard lock(replyMutex_);
    if (reply_)
        // Queued: the reply lives on the sending thread; a reply deleted
        // before the call comes takes the call with it.
        QMetaObject::invokeMethod(reply_, &QNetworkReply::abort, Qt::QueuedConnection);
}

caldav::HttpResponse QtHttpTransport::Send(const caldav::HttpRequest& request)
{
    std::optional<caldav::Url> url = caldav::Url::Parse(request.url);
    if (!url)
        return Failed(TransportError::Other, "not an http:// or https:// address", 0);
    if (url->scheme == "http" && !options_.insecure && !IsLoopback(url->host))
        return Failed(TransportError::Insecure, "plain http:// to " + url->host, 0);
    if (!manager_ || managerThread_ != QThread::currentThread()) {
        DropManager();
        manager_ = std::make_unique<QNetworkAccessManager>();
        manager_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        managerThread_ = QThread::currentThread();
    }
    QByteArray method = QByteArray::fromStdString(request.method);
    QByteArray body = QByteArray::fromStdString(request.body);
    const QByteArray credentials =
        "Basic " + QByteArray::fromStdString(options_.user + ":" + options_.password).toBase64();
    const auto deadline = std::chrono::steady_clock::now() + options_.timeout;
    int exchanges = 0;
    for (int hop = 0;; ++hop) {
        if (cancelled_)
            return Failed(TransportError::Cancelled, "cancelled", exchanges);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Failed(TransportError::Timeout, "no answer within the time limit", exchanges);

        QNetworkRequest q(QUrl(QString::fromStdString(url->ToString()), QUrl::StrictMode));
        q.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Remindo/" REMINDO_VERSION));
        q.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        q.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        q.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
        q.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
        // Unpacked, so that the length the server announces is the length
        // to expect: Qt takes a packed answer cut short for a whole one.
        q.setRawHeader("Accept-Encoding", "identity");
        for (const auto& [name, value] : request.headers)
            q.setRawHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
        if (!options_.user.empty() || !options_.password.empty())
            q.setRawHeader("Authorization", credentials);

        QNetworkReply* reply = manager_->sendCustomRequest(q, method, body);
        ++exchanges;
        {
            std::lock_guard lock(replyMutex_);
            reply_ = reply;
        }
        bool timedOut = false;
        bool sslErrors = false;
        QString sslText;
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        // Not ignored: the handshake then fails, and the reply says why.
        QObject::connect(reply, &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& errors) {
            sslErrors = true;
            for (const QSslError& e : errors)
                sslText += (sslText.isEmpty() ? QString() : QStringLiteral("; ")) + e.errorString();
        });
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, reply, [&] {
            timedOut = true;
            reply->abort();
        });
        timer.start(left);
        if (cancelled_)
            reply->abort();
        if (!reply->isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        {
            std::lock_guard lock(replyMutex_);
            reply_ = nullptr;
        }
        std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> owned(reply, [](QNetworkReply* r) { r->deleteLater(); });

        if (timedOut)
            return Failed(TransportError::Timeout, "no answer within the time limit", exchanges);
        if (cancelled_)
            return Failed(TransportError::Cancelled, "cancelled", exchanges);
        const QNetworkReply::NetworkError error = reply->error();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (BelowHttp(error) || !status.isValid()) {
            const TransportError kind = Kind(error, sslErrors);
            const QString text = sslErrors ? sslText : reply->errorString();
            return Failed(kind == TransportError::None ? TransportError::Other : kind, text.toStdString(), exchanges);
        }
        HttpResponse r;
        r.status = status.toInt();
        r.exchanges = exchanges;
        r.url = url->ToString();
        for (const auto& [name, value] : reply->rawHeaderPairs())
            r.headers.emplace_back(name.toStdString(), value.toStdString());
        r.body = reply->readAll().toStdString();
        // Qt takes a connection closed early for the end of an answer; the
        // length the server announced says otherwise.
        bool counted = false;
        const qulonglong announced = QByteArray::fromStdString(r.Header("Content-Length")).toULongLong(&counted);
        if (counted && r.Header("Content-Encoding").empty() && r.body.size() < announced)
            return Failed(TransportError::Cut,
                          "the answer ended after " + std::to_string(r.body.size()) + " of " +
                              std::to_string(announced) + " bytes",
                          exchanges);

        const bool redirect = r.status == 301 || r.status == 302 || r.status == 303 || r.status == 307 || r.status == 308;
        const std::string location = r.Header("Location");
        if (!redirect || location.empty() || hop >= options_.maxRedirects)
            return r;
        const std::optional<caldav::Url> next = caldav::Resolve(*url, location);
        // Elsewhere would take the credentials along, or drop TLS: the
        // caller gets the redirect itself instead.
        if (!next || !next->SameOrigin(*url))
            return r;
        url = next;
        if (r.status == 303) {
            method = "GET";
            body.clear();
        }
    }
}

} // namespace remindo::net
