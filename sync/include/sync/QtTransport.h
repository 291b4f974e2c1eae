#pragma once

// Requests through Qt's network access: https with the system's
// certificates, the password sent with each request (as Basic
// authentication), a time-out without any byte coming, answers cut off at
// the size limit. Runs without a display.

#include "sync/Http.h"

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace davsync {

class QtTransport : public Transport {
public:
    QtTransport(QString user, QString password);
    ~QtTransport() override;

    // Milliseconds without any answer before a request is given up.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    void setKeepGoing(std::function<bool()> keepGoing) override { m_keepGoing = std::move(keepGoing); }

    HttpResponse send(const HttpRequest& request) override;

private:
    std::unique_ptr<QNetworkAccessManager> m_manager;
    QByteArray m_authorization;
    // A server builds a large report whole before its first byte: Radicale
    // on a busy machine was silent for more than 30 s over a calendar of
    // 10,000 events it had not read yet. "Zrušit" works all the while.
    int m_timeoutMs = 120000;
    std::function<bool()> m_keepGoing;
};

} // namespace davsync
