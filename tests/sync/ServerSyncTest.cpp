// Whole syncs of the address table with a real Radicale and a real Xandikos
// on 127.0.0.1. A second client writing raw cards plays the phone.

#include "DavServers.h"
#include "SyncFixture.h"

#include "sync/ContactCard.h"
#include "sync/ContactsSide.h"
#include "sync/QtTransport.h"
#include "sync/SyncSession.h"
#include "sync/SyncState.h"

#include <QUuid>

#include <atomic>

using namespace davsync;

namespace {

// Network gone after a number of requests.
class CutTransport : public Transport {
public:
    CutTransport(Transport& inner, int allowed) : m_inner(inner), m_allowed(allowed) {}
    HttpResponse send(const HttpRequest& request) override
    {
        if (m_allowed-- <= 0) {
            HttpResponse gone;
            gone.failure = HttpResponse::Failure::Network;
            gone.failureText = QStringLiteral("Network unreachable");
            return gone;
        }
        return m_inner.send(request);
    }

private:
    Transport& m_inner;
    int m_allowed;
};

QByteArray phoneCard(const QString& uid, const QString& family, const QString& given, const QByteArray& extra = {})
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid.toUtf8() + "\r\nN:" + family.toUtf8() + ";" + given.toUtf8() +
           ";;;\r\nFN:" + (given + QLatin1Char(' ') + family).toUtf8() + "\r\n" + extra + "END:VCARD\r\n";
}

class ServerSync : public SyncFixture, public testing::WithParamInterface<ServerKind> {
protected:
    void SetUp() override
    {
        SyncFixture::SetUp();
        QString why;
        bool installed = false;
        m_server = davServer(GetParam(), &why, &installed);
        if (!installed)
            GTEST_SKIP() << "the server is not installed";
        ASSERT_NE(m_server, nullptr) << why.toStdString();
        m_transport = std::make_unique<QtTransport>(m_server->user, m_server->password);
        m_phoneTransport = std::make_unique<QtTransport>(m_server->user, m_server->password);
        m_client = std::make_unique<DavClient>(*m_transport, m_server->url);
        m_phone = std::make_unique<DavClient>(*m_phoneTransport, m_server->url);
        // Each test its own address book.
        m_book = chooseCollection(*m_client, CollectionKind::AddressBook, {},
                                  QStringLiteral("Test %1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)), {});
    }

    SyncReport sync(Transport* through = nullptr)
    {
        DavClient client(through ? *through : *m_transport, m_server->url);
        ContactsSide side(database());
        SyncEngine engine(client, side, database(), m_book, decisions);
        SyncReport report = engine.run();
        lastRequests = client.requestCount();
        return report;
    }

    // The server's cards: mapped fields by surname, and the raw cards.
    std::map<QString, QByteArray> serverCards()
    {
        std::map<QString, QByteArray> cards;
        const ServerChanges all = m_phone->changesSince(m_book, {});
        QStringList paths;
        for (const auto& [path, etag] : all.present)
            paths.append(path);
        for (const DavEntry& entry : m_phone->multiget(m_book, paths)) {
            const std::optional<MappedCard> card = mapCard(entry.data, nullptr);
            EXPECT_TRUE(card.has_value());
            if (card)
                cards[card->fields[0] + QLatin1Char('|') + card->fields[1]] = entry.data;
        }
        return cards;
    }

    QString phonePut(const QString& family, const QString& given, const QByteArray& extra = {})
    {
        const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const QString path = childPath(m_book.path, uid + QStringLiteral(".vcf"));
        EXPECT_TRUE(m_phone->put(path, phoneCard(uid, family, given, extra), "text/vcard", {}).has_value());
        return path;
    }

    QByteArray etagOf(const QString& path)
    {
        for (const auto& [p, etag] : m_phone->changesSince(m_book, {}).present)
            if (p == path)
                return etag;
        return {};
    }

    const DavServer* m_server = nullptr;
    std::unique_ptr<QtTransport> m_transport, m_phoneTransport;
    std::unique_ptr<DavClient> m_client, m_phone;
    Collection m_book;
    ScriptedDecisions decisions;
    int lastRequests = 0;
};

// The everyday round: records added, edited and deleted on either side reach
// the other, the phone's own properties survive an edit here, and a sync
// with nothing to do costs one request.
TEST_P(ServerSync, changesOnBothSidesReachTheOtherAndKeepThePhonesProperties)
{
    addAddress(person("Dvořák", "Antonín", "Nelahozeves 12, 277 51 Nelahozeves", "602 111 222", "skladatel"));
    addAddress(person("Stavby s.r.o.", "", "", "212 345 678"));
    SyncReport report = sync();
    EXPECT_EQ(report.sent, 2);
    auto cards = serverCards();
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_TRUE(cards.contains(QStringLiteral("Dvořák|Antonín")));
    EXPECT_TRUE(cards.contains(QStringLiteral("Stavby s.r.o.|")));

    const QString phonePath =
        phonePut(QStringLiteral("Nováková"), QStringLiteral("Eva"),
                 "EMAIL;TYPE=home:eva@example.org\r\nTEL;TYPE=cell:777 123 456\r\nBDAY:1980-05-05\r\n"
                 "PHOTO;ENCODING=b;TYPE=JPEG:AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJw==\r\nX-PHONE-ONLY:ano\r\n");
    report = sync();
    EXPECT_EQ(report.received, 1);
    auto here = addresses();
    ASSERT_TRUE(here.contains(QStringLiteral("Nováková")));
    EXPECT_EQ(here[QStringLiteral("Nováková")], person("Nováková", "Eva", "", "777 123 456", ""));

    changeAddress(QStringLiteral("Nováková"), person("Nováková", "Eva", "Dlouhá 5, 110 00 Praha 1", "777 123 456", "sestřenice"));
    sync();
    const QByteArray card = serverCards()[QStringLiteral("Nováková|Eva")];
    for (const char* kept : {"eva@example.org", "BDAY:1980-05-05", "AAECAwQFBgcICQoLDA0ODxAREhMUFR", "X-PHONE-ONLY:ano",
                             "TEL;TYPE=cell:777 123 456", "sestřenice", "Dlouhá 5"})
        EXPECT_TRUE(card.contains(kept)) << kept << "\n" << card.toStdString();

    // Deleted on the phone: gone here; deleted here: gone on the server.
    const std::map<QString, QByteArray> before = serverCards();
    ASSERT_TRUE(m_phone->remove(phonePath, etagOf(phonePath)));
    deleteAddress(QStringLiteral("Dvořák"));
    report = sync();
    EXPECT_EQ(report.deletedHere, 1);
    EXPECT_EQ(report.deletedThere, 1);
    EXPECT_EQ(addresses().size(), 1u);
    cards = serverCards();
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_TRUE(cards.contains(QStringLiteral("Stavby s.r.o.|")));

    sync();
    sync();
    EXPECT_EQ(lastRequests, 1) << "a sync with nothing changed lists the collection once";
}

// Changed on both sides: both versions are shown, and each choice holds on
// both sides afterwards. Deleted here but changed there: the record returns.
TEST_P(ServerSync, conflictsShowBothVersionsAndDeletedHereChangedThereComesBack)
{
    addAddress(person("Horák", "Jiří", "", "111"));
    addAddress(person("Malý", "Petr", "", "222"));
    addAddress(person("Veselá", "Jana", "", "333"));
    sync();
    const auto cards = serverCards();
    const auto rewrite = [&](const QString& key, const QByteArray& from, const QByteArray& to) {
        for (const auto& [path, etag] : m_phone->changesSince(m_book, {}).present) {
            for (const DavEntry& entry : m_phone->multiget(m_book, {path})) {
                if (mapCard(entry.data, nullptr)->fields[0] != key)
                    continue;
                QByteArray body = entry.data;
                body.replace(from, to);
                ASSERT_TRUE(m_phone->put(path, body, "text/vcard", entry.etag).has_value());
            }
        }
    };
    rewrite(QStringLiteral("Horák"), "111", "111 z telefonu");
    rewrite(QStringLiteral("Malý"), "222", "222 z telefonu");
    rewrite(QStringLiteral("Veselá"), "333", "333 z telefonu");
    changeAddress(QStringLiteral("Horák"), person("Horák", "Jiří", "", "111 zde"));
    changeAddress(QStringLiteral("Malý"), person("Malý", "Petr", "", "222 zde"));
    deleteAddress(QStringLiteral("Veselá"));

    decisions.choice = Choice::Local;
    SyncReport report = sync();
    ASSERT_EQ(decisions.asked.size(), 2u);
    for (const Conflict& conflict : decisions.asked) {
        const QString digits = conflict.key == QStringLiteral("Horák") ? QStringLiteral("111") : QStringLiteral("222");
        EXPECT_EQ(conflict.local[3], digits + QStringLiteral(" zde"));
        EXPECT_EQ(conflict.server[3], digits + QStringLiteral(" z telefonu"));
    }
    auto here = addresses();
    EXPECT_EQ(here[QStringLiteral("Horák")][3], QStringLiteral("111 zde"));
    EXPECT_EQ(here[QStringLiteral("Veselá")][3], QStringLiteral("333 z telefonu")) << "the change there wins";
    EXPECT_TRUE(report.messages.join(QLatin1Char('\n')).contains(QStringLiteral("Veselá")));
    const auto after = serverCards();
    EXPECT_TRUE(after.at(QStringLiteral("Horák|Jiří")).contains("111 zde"));
    EXPECT_TRUE(after.at(QStringLiteral("Malý|Petr")).contains("222 zde"));

    rewrite(QStringLiteral("Horák"), "111 zde", "111 znovu z telefonu");
    changeAddress(QStringLiteral("Horák"), person("Horák", "Jiří", "", "111 znovu zde"));
    decisions.choice = Choice::Server;
    report = sync();
    EXPECT_EQ(addresses()[QStringLiteral("Horák")][3], QStringLiteral("111 znovu z telefonu"));
    EXPECT_TRUE(report.messages.join(QLatin1Char('\n')).contains(QStringLiteral("111 znovu zde")))
        << "the version dropped here is told, so it can be typed again";
}

// The surname is the key here but not on the server: two cards of one
// surname become two records, and editing the numbered one leaves the
// server's name alone. The first sync pairs records by name, asking first.
TEST_P(ServerSync, sameSurnamesGetNumberedKeysAndTheFirstSyncAsksAboutPairs)
{
    phonePut(QStringLiteral("Novák"), QStringLiteral("Jan"), "TEL:111\r\n");
    phonePut(QStringLiteral("Novák"), QStringLiteral("Petr"), "TEL:222\r\n");
    phonePut(QStringLiteral("Svoboda"), QStringLiteral("Karel"), "TEL:333\r\n");
    addAddress(person("Svoboda", "Karel", "", "333 444"));
    addAddress(person("Černý", "Jan"));

    decisions.acceptPairs = false;
    EXPECT_THROW(sync(), SyncCancelled);
    ASSERT_EQ(decisions.askedPairs.size(), 1u);
    EXPECT_EQ(decisions.askedPairs[0].local[3], QStringLiteral("333 444"));
    EXPECT_EQ(decisions.askedPairs[0].server[3], QStringLiteral("333"));
    EXPECT_EQ(addresses().size(), 2u) << "declined: nothing written here";
    EXPECT_EQ(serverCards().size(), 3u) << "declined: nothing written there";

    decisions.acceptPairs = true;
    decisions.choice = Choice::Local;
    sync();
    auto here = addresses();
    ASSERT_EQ(here.size(), 4u);
    EXPECT_TRUE(here.contains(QStringLiteral("Novák")));
    EXPECT_TRUE(here.contains(QStringLiteral("Novák (2)")));
    EXPECT_EQ(serverCards().size(), 4u) << "paired, not doubled";
    EXPECT_TRUE(serverCards().at(QStringLiteral("Svoboda|Karel")).contains("333 444"));

    const QString numbered = QStringLiteral("Novák (2)");
    Fields fields = here[numbered];
    fields[4] = QStringLiteral("upraveno zde");
    changeAddress(numbered, fields);
    sync();
    const auto cards = serverCards();
    EXPECT_EQ(cards.size(), 4u);
    int edited = 0;
    for (const auto& [name, card] : cards)
        if (card.contains("upraveno zde")) {
            ++edited;
            EXPECT_TRUE(name.startsWith(QStringLiteral("Novák|"))) << name.toStdString();
        }
    EXPECT_EQ(edited, 1);
}

// A sync cut off at any request (the network gone, or the process killed
// between two writes) is finished by the next one: every record once on
// each side, nothing lost.
TEST_P(ServerSync, interruptedSyncsAreFinishedByTheNextWithoutLossOrDoubles)
{
    std::vector<Fields> records;
    for (int i = 0; i < 60; ++i)
        records.push_back(person(QStringLiteral("Zde%1").arg(i, 2, 10, QLatin1Char('0')).toUtf8().constData(), "A"));
    addAddresses(records);
    for (int i = 0; i < 5; ++i)
        phonePut(QStringLiteral("Tam%1").arg(i), QStringLiteral("B"));
    for (int allowed : {1, 2, 3, 4, 6, 9}) {
        CutTransport cut(*m_transport, allowed);
        EXPECT_THROW(sync(&cut), SyncError) << allowed;
    }
    changeAddress(QStringLiteral("Zde07"), person("Zde07", "A", "", "změna během přerušení"));
    sync();
    EXPECT_EQ(addresses().size(), 65u);
    const auto cards = serverCards();
    EXPECT_EQ(cards.size(), 65u);
    EXPECT_TRUE(cards.at(QStringLiteral("Zde07|A")).contains("změna během přerušení"));
    sync();
    EXPECT_EQ(lastRequests, 1);
}

// A thousand contacts go up in one sync and come back in one request.
TEST_P(ServerSync, aThousandContacts)
{
    // Xandikos commits every card to git: a thousand take minutes there.
    if (GetParam() == ServerKind::Xandikos)
        GTEST_SKIP() << "Radicale only";
    std::vector<Fields> records;
    for (int i = 0; i < 1000; ++i)
        records.push_back(person(QStringLiteral("Příjmení %1").arg(i).toUtf8().constData(), "Jméno",
                                 "Ulice 1, 110 00 Praha", "602 000 000", "poznámka"));
    addAddresses(records);
    EXPECT_EQ(sync().sent, 1000);
    EXPECT_EQ(serverCards().size(), 1000u);
    sync();
    EXPECT_EQ(lastRequests, 1);
}

} // namespace

namespace {

// A token the server no longer knows (Radicale answers 403, Xandikos 500)
// costs a full listing, not the sync.
TEST_P(ServerSync, aRefusedTokenFallsBackToTheWholeListing)
{
    addAddress(person("Kučera", "Tomáš"));
    sync();
    {
        SyncState state(database(), SyncEngine::collectionId(*m_client, m_book));
        state.setToken(state.token() + QStringLiteral("-neznámý"));
    }
    phonePut(QStringLiteral("Pokorná"), QStringLiteral("Marie"));
    const SyncReport report = sync();
    EXPECT_EQ(report.received, 1);
    EXPECT_EQ(report.sent, 0);
    EXPECT_EQ(addresses().size(), 2u);
    sync();
    EXPECT_EQ(lastRequests, 1) << "the fresh token works again";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Servers, ServerSync, testing::Values(ServerKind::Radicale, ServerKind::Xandikos),
                         [](const testing::TestParamInfo<ServerKind>& info) {
                             return info.param == ServerKind::Radicale ? std::string("Radicale") : std::string("Xandikos");
                         });
