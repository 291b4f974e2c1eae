#include "sync/QtTransport.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace davsync {

QtTransport::QtTransport(QString user, QString password) : m_manager(std::make_unique<QNetworkAccessManager>())
{
    if (!user.isEmpty())
        m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    // Redirects are the client's choice: a PROPFIND must stay one.
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QtTransport::~QtTransport() = default;

HttpResponse QtTransport::send(const HttpRequest& request)
{
    QNetworkRequest req(request.url);
    for (const auto& [name, value] : request.headers)
        req.setRawHeader(name, value);
    if (!m_authorization.isEmpty())
        req.setRawHeader("Authorization", m_authorization);
    req.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    QNetworkReply* reply = m_manager->sendCustomRequest(req, request.method, request.body);
    HttpResponse response;
    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(m_timeoutMs);
    QTimer poll;
    poll.setInterval(50);
    bool timedOut = false, cancelled = false, tooLarge = false;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    const auto received = [&] {
        idle.start();
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if ((length.isValid() && length.toLongLong() > kMaxResponseBytes) ||
            reply->bytesAvailable() > kMaxResponseBytes) {
            tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, received);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, received);
    QObject::connect(reply, &QNetworkReply::uploadProgress, &loop, [&] { idle.start(); });
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (m_keepGoing && !m_keepGoing()) {
            cancelled = true;
            reply->abort();
        }
    });
    idle.start();
    poll.start();
    if (!reply->isFinished())
        loop.exec();

    if (cancelled) {
        response.failure = HttpResponse::Failure::Cancelled;
    } else if (tooLarge) {
        response.failure = HttpResponse::Failure::TooLarge;
    } else if (timedOut) {
        response.failure = HttpResponse::Failure::Timeout;
    } else {
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (response.status == 0) {
            const QNetworkReply::NetworkError error = reply->error();
            response.failure = error == QNetworkReply::SslHandshakeFailedError ? HttpResponse::Failure::Tls
                                                                                : HttpResponse::Failure::Network;
            response.failureText = reply->errorString();
        } else {
            for (const auto& [name, value] : reply->rawHeaderPairs())
                response.headers.append({name, value});
            response.body = reply->readAll();
        }
    }
    reply->deleteLater();
    return response;
}

} // namespace davsync
