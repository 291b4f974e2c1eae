#pragma once

// The one way the sync code talks to a server: a request goes out, a whole
// response comes back. The program sends through Qt's network access; unit
// tests answer from a script; the end-to-end tests use real servers.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>

namespace davsync {

struct HttpRequest {
    QByteArray method;  // "PROPFIND", "REPORT", "PUT", ...
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    void setHeader(const QByteArray& name, const QByteArray& value) { headers.append({name, value}); }
};

struct HttpResponse {
    // 0 when no answer came (network error, time-out, refused connection,
    // cancelled by the user); `failure` then tells which.
    int status = 0;
    enum class Failure { None, Network, Timeout, TooLarge, Cancelled, Tls };
    Failure failure = Failure::None;
    QString failureText; // the network layer's own words, for the message's detail
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The first header of that name (case ignored); empty when none.
    QByteArray header(const QByteArray& name) const;
    bool ok() const { return status >= 200 && status < 300; }
};

// Answers larger than this are refused unread: a multistatus of a hundred
// cards with photos stays far below it, a runaway answer does not fill memory.
inline constexpr qint64 kMaxResponseBytes = 32 * 1024 * 1024;

class Transport {
public:
    virtual ~Transport() = default;
    // Sends and waits for the whole answer. Credentials, time-outs and the
    // size limit are the transport's business.
    virtual HttpResponse send(const HttpRequest& request) = 0;
    // Asked while an answer is awaited; false gives up the request
    // (Failure::Cancelled). A transport that never waits ignores it.
    virtual void setKeepGoing(std::function<bool()> keepGoing) { static_cast<void>(keepGoing); }
};

} // namespace davsync
