// What a sync does when the server or the network fails: a Czech message
// that says what to do, and the tables as they were.

#include "SyncFixture.h"

#include "sync/ContactsSide.h"
#include "sync/QtTransport.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

using namespace davsync;

namespace {

class FakeTransport : public Transport {
public:
    explicit FakeTransport(std::function<HttpResponse(const HttpRequest&)> answer) : m_answer(std::move(answer)) {}
    HttpResponse send(const HttpRequest& request) override
    {
        methods.append(QString::fromLatin1(request.method));
        return m_answer(request);
    }
    QStringList methods;

private:
    std::function<HttpResponse(const HttpRequest&)> m_answer;
};

HttpResponse status(int code, QByteArray body = {})
{
    HttpResponse response;
    response.status = code;
    response.body = std::move(body);
    return response;
}

HttpResponse failure(HttpResponse::Failure kind)
{
    HttpResponse response;
    response.failure = kind;
    response.failureText = QStringLiteral("Connection refused");
    return response;
}

const QByteArray kEmptyList = "<?xml version='1.0'?><d:multistatus xmlns:d='DAV:'><d:sync-token>t1</d:sync-token>"
                              "</d:multistatus>";

class SyncErrors : public SyncFixture {
protected:
    // A sync of the address table with the collection /book/ through the fake.
    void syncThrough(FakeTransport& transport)
    {
        DavClient client(transport, QUrl(QStringLiteral("https://dav.example.test/")));
        ContactsSide side(database());
        SyncEngine engine(client, side, database(), Collection{QStringLiteral("/book/"), {}, CollectionKind::AddressBook, {}, true},
                          decisions);
        engine.run();
    }

    ScriptedDecisions decisions;
};

struct ErrorCase {
    const char* name;
    std::function<HttpResponse(const HttpRequest&)> answer;
    const char* inMessage;
};

// Each failure stops the sync with its own advice, before anything is written.
TEST_F(SyncErrors, failuresStopWithACzechMessageAndTheTablesUnchanged)
{
    const std::vector<ErrorCase> cases = {
        {"wrong password", [](const HttpRequest&) { return status(401); }, "Zkontrolujte uživatelské jméno a heslo"},
        {"forbidden", [](const HttpRequest&) { return status(403); }, "odepřel přístup"},
        {"server error",
         [](const HttpRequest&) { return status(500); }, "chybu 500"},
        {"malformed answer", [](const HttpRequest&) { return status(207, "<d:multistatus xmlns:d='DAV:'><d:response>"); },
         "chybné XML"},
        {"not a multistatus", [](const HttpRequest&) { return status(207, "<html><body>Login</body></html>"); },
         "multistatus"},
        {"answer too large", [](const HttpRequest&) { return failure(HttpResponse::Failure::TooLarge); }, "větší než 32 MB"},
        {"time-out", [](const HttpRequest&) { return failure(HttpResponse::Failure::Timeout); }, "neodpověděl včas"},
        {"network gone", [](const HttpRequest&) { return failure(HttpResponse::Failure::Network); }, "nelze spojit"},
        {"certificate", [](const HttpRequest&) { return failure(HttpResponse::Failure::Tls); }, "nelze ověřit"},
        // The listing works, every write is refused as changed meanwhile.
        {"412 for ever",
         [](const HttpRequest& r) { return r.method == "PUT" ? status(412) : status(207, kEmptyList); },
         "opakovaně odmítá zápis"},
    };
    addAddress(person("Beneš", "Jan", "", "777"));
    const auto addressesBefore = addresses();
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTransport transport(c.answer);
        try {
            syncThrough(transport);
            ADD_FAILURE() << "no error";
        } catch (const SyncError& error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.inMessage))) << error.message().toStdString();
        }
        EXPECT_EQ(addresses(), addressesBefore);
    }
}

// A refused token is not a failure: the collection is listed instead.
TEST_F(SyncErrors, aRefusedTokenIsListedInsteadButAWrongPasswordIsNot)
{
    FakeTransport refusing([](const HttpRequest& r) {
        if (r.method == "REPORT")
            return status(403, "<error xmlns='DAV:'><valid-sync-token/></error>");
        if (r.method == "PROPFIND")
            return status(207, "<d:multistatus xmlns:d='DAV:'/>");
        return status(201);
    });
    syncThrough(refusing);
    EXPECT_EQ(refusing.methods, (QStringList{"REPORT", "PROPFIND"}));

    FakeTransport unauthorized([](const HttpRequest&) { return status(401); });
    EXPECT_THROW(syncThrough(unauthorized), SyncError);
    EXPECT_EQ(unauthorized.methods, QStringList{"REPORT"});
}

// The real transport on a loopback socket: an endless answer is cut at the
// limit and a silent server times out, each told as such.
TEST_F(SyncErrors, theNetworkTransportCutsHugeAnswersAndSilentServers)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    bool endless = true;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        if (!endless)
            return; // says nothing
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            socket->readAll();
            socket->write("HTTP/1.1 207 Multi-Status\r\nContent-Type: application/xml\r\n\r\n<multistatus>");
            const QByteArray chunk(1024 * 1024, 'x');
            for (int i = 0; i < 50; ++i)
                socket->write(chunk);
        });
    });
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/book/").arg(server.serverPort()));
    QtTransport transport(QStringLiteral("anna"), QStringLiteral("heslo"));
    HttpRequest request{"PROPFIND", url, {}, {}};
    EXPECT_EQ(transport.send(request).failure, HttpResponse::Failure::TooLarge);

    endless = false;
    transport.setTimeout(300);
    EXPECT_EQ(transport.send(request).failure, HttpResponse::Failure::Timeout);
}

} // namespace
