// What a phone would see: khard on a folder that vdirsyncer keeps in step
// with the same address book on the server.

#include "DavServers.h"
#include "SyncFixture.h"

#include "sync/ContactsSide.h"
#include "sync/QtTransport.h"
#include "sync/SyncSession.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

using namespace davsync;

namespace {

class PeerClients : public SyncFixture, public testing::WithParamInterface<ServerKind> {
protected:
    void SetUp() override
    {
        SyncFixture::SetUp();
        for (const char* tool : {"vdirsyncer", "khard"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        QString why;
        bool installed = false;
        m_server = davServer(GetParam(), &why, &installed);
        if (!installed)
            GTEST_SKIP() << "the server is not installed";
        ASSERT_NE(m_server, nullptr) << why.toStdString();
        m_transport = std::make_unique<QtTransport>(m_server->user, m_server->password);
        m_client = std::make_unique<DavClient>(*m_transport, m_server->url);
        m_book = chooseCollection(*m_client, CollectionKind::AddressBook, {},
                                  QStringLiteral("Peer %1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)), {});

        const QString root = m_peer.path();
        QDir(root).mkpath(QStringLiteral("contacts"));
        QDir(root).mkpath(QStringLiteral("status"));
        writeFile(QStringLiteral("vdirsyncer.conf"),
                  QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n[pair kontakty]\na = \"local\"\n"
                                 "b = \"remote\"\ncollections = null\nconflict_resolution = \"b wins\"\n"
                                 "[storage local]\ntype = \"filesystem\"\npath = \"%1/contacts/\"\nfileext = \".vcf\"\n"
                                 "[storage remote]\ntype = \"carddav\"\nurl = \"%2\"\nusername = \"%3\"\npassword = \"%4\"\n")
                      .arg(root, m_client->urlOf(m_book.path).toString(), m_server->user, m_server->password));
        writeFile(QStringLiteral("khard.conf"),
                  QStringLiteral("[addressbooks]\n[[kontakty]]\npath = %1/contacts/\n[general]\n"
                                 "default_action = list\neditor = /bin/true\nmerge_editor = /bin/true\n")
                      .arg(root));
        ASSERT_EQ(tool(QStringLiteral("vdirsyncer"), {QStringLiteral("discover")}, "y\ny\n"), 0) << m_output.toStdString();
    }

    void writeFile(const QString& name, const QString& text)
    {
        QFile file(m_peer.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    int tool(const QString& program, QStringList arguments, const QByteArray& input = {})
    {
        arguments.prepend(m_peer.filePath(program == QLatin1String("khard") ? QStringLiteral("khard.conf")
                                                                           : QStringLiteral("vdirsyncer.conf")));
        arguments.prepend(QStringLiteral("-c"));
        return runTool(program, arguments, m_peer.path(), &m_output, input,
                       {QStringLiteral("HOME=") + m_peer.path(), QStringLiteral("LANG=C.UTF-8")});
    }

    QString khard(const QStringList& arguments)
    {
        EXPECT_EQ(tool(QStringLiteral("khard"), arguments), 0) << m_output.toStdString();
        return m_output;
    }

    void peerSync() { ASSERT_EQ(tool(QStringLiteral("vdirsyncer"), {QStringLiteral("sync")}), 0) << m_output.toStdString(); }

    void sync()
    {
        ContactsSide side(database());
        SyncEngine engine(*m_client, side, database(), m_book, decisions);
        engine.run();
    }

    const DavServer* m_server = nullptr;
    std::unique_ptr<QtTransport> m_transport;
    std::unique_ptr<DavClient> m_client;
    Collection m_book;
    QTemporaryDir m_peer;
    QString m_output;
    ScriptedDecisions decisions;
};

// A contact made in khard arrives here; one made here, and an edit here,
// reach khard with the properties khard gave it kept.
TEST_P(PeerClients, khardAndThisProgramSeeEachOthersContacts)
{
    ASSERT_EQ(tool(QStringLiteral("khard"), {QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("kontakty")},
                   "First name : Věra\nLast name : Čáslavská\nPhone :\n    cell : 603 111 222\n"
                   "Email :\n    home : vera@example.org\nNote : gymnastka\n"),
              0)
        << m_output.toStdString();
    peerSync();
    sync();
    auto here = addresses();
    ASSERT_TRUE(here.contains(QStringLiteral("Čáslavská")));
    EXPECT_EQ(here[QStringLiteral("Čáslavská")], person("Čáslavská", "Věra", "", "603 111 222", "gymnastka"));

    addAddress(person("Zátopek", "Emil", "Dlouhá 5, 110 00 Praha 1", "602 555 666", "běžec"));
    changeAddress(QStringLiteral("Čáslavská"), person("Čáslavská", "Věra", "", "603 111 222", "olympijská vítězka"));
    sync();
    peerSync();
    const QString list = khard({QStringLiteral("list")});
    EXPECT_TRUE(list.contains(QStringLiteral("Emil Zátopek"))) << list.toStdString();
    const QString emil = khard({QStringLiteral("show"), QStringLiteral("--format"), QStringLiteral("yaml"), QStringLiteral("Zátopek")});
    EXPECT_TRUE(emil.contains(QStringLiteral("602 555 666"))) << emil.toStdString();
    EXPECT_TRUE(emil.contains(QStringLiteral("Dlouhá 5"))) << emil.toStdString();
    const QString vera = khard({QStringLiteral("show"), QStringLiteral("--format"), QStringLiteral("yaml"), QStringLiteral("Čáslavská")});
    EXPECT_TRUE(vera.contains(QStringLiteral("olympijská vítězka"))) << vera.toStdString();
    EXPECT_TRUE(vera.contains(QStringLiteral("vera@example.org"))) << "khard's e-mail survives the edit here";
}

INSTANTIATE_TEST_SUITE_P(Servers, PeerClients, testing::Values(ServerKind::Radicale, ServerKind::Xandikos),
                         [](const testing::TestParamInfo<ServerKind>& info) {
                             return info.param == ServerKind::Radicale ? std::string("Radicale") : std::string("Xandikos");
                         });

} // namespace
