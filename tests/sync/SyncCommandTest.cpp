// `pelmir --sync` as a script runs it: against Radicale on 127.0.0.1, the
// password on standard input or from the keyring, the exit codes.

#include "DavServers.h"
#include "SyncFixture.h"

#include "sync/QtTransport.h"
#include "sync/SyncCommand.h"
#include "sync/SyncSettings.h"

#include "store/Cursor.h"

#include <QFile>
#include <QUuid>

using namespace davsync;

namespace {

class SyncCommandLine : public SyncFixture {
protected:
    void SetUp() override
    {
        SyncFixture::SetUp();
        QString why;
        bool installed = false;
        m_server = davServer(ServerKind::Radicale, &why, &installed);
        if (!installed)
            GTEST_SKIP() << "radicale is not installed";
        ASSERT_NE(m_server, nullptr) << why.toStdString();
    }

    int run(const SyncCommand& command, const QByteArray& input = {})
    {
        QByteArray inBytes = input;
        QTextStream in(&inBytes, QIODevice::ReadOnly);
        out.clear();
        err.clear();
        QTextStream outStream(&out), errStream(&err);
        const int code = runSyncCommand(database(), workDir(), command, in, outStream, errStream, passwords,
                                        [](const QString& user, const QString& password) {
                                            return std::unique_ptr<Transport>(std::make_unique<QtTransport>(user, password));
                                        },
                                        QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
        outStream.flush();
        errStream.flush();
        return code;
    }

    SyncCommand withServer(const QString& book) const
    {
        SyncCommand command;
        command.server = m_server->url.toString();
        command.user = m_server->user;
        command.addressBook = book;
        command.passwordStdin = true;
        return command;
    }

    const DavServer* m_server = nullptr;
    MemoryPasswords passwords;
    QString out, err;
};

// From nothing to a second run on the saved settings; each failure with its
// exit code and its Czech reason, and the password never in the file.
TEST_F(SyncCommandLine, runsFromTheOptionsThenFromTheSavedSettings)
{
    EXPECT_EQ(run({}), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("není nastavena"))) << err.toStdString();

    const QString book = QStringLiteral("Skript %1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
    addAddress(person("Hašek", "Jaroslav", "", "111 222 333"));
    EXPECT_EQ(run(withServer(book), "špatné heslo\n"), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("401"))) << err.toStdString();

    EXPECT_EQ(run(withServer(book), m_server->password.toUtf8() + "\n"), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("na server 1"))) << out.toStdString();
    QFile file(workDir() + QStringLiteral("/Synchronizace.cfg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.contains(book.toUtf8()));
    EXPECT_FALSE(saved.contains(m_server->password.toUtf8()));

    // The saved settings; the password from the keyring, or a clear word why not.
    EXPECT_EQ(run({}), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("--password-stdin"))) << err.toStdString();
    QString ignored;
    std::optional<SyncSettings> settings = loadSyncSettings(workDir(), &ignored);
    ASSERT_TRUE(settings);
    passwords.write(passwordAccount(*settings), m_server->password, &ignored);
    EXPECT_EQ(run({}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(book)) << out.toStdString();
}

// A first sync that would join records of the same name lists them and
// writes nothing until --yes.
TEST_F(SyncCommandLine, aFirstSyncJoinsSameNamesOnlyWithYes)
{
    const QString book = QStringLiteral("Dvojice %1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
    addAddress(person("Čapek", "Karel", "", "111"));
    EXPECT_EQ(run(withServer(book), m_server->password.toUtf8() + "\n"), 0) << err.toStdString();

    // The sync state lost (another computer, say): a first sync again.
    m_database.reset();
    ASSERT_TRUE(QFile::remove(workDir() + QStringLiteral("/Data/Synchro.DB")));
    m_database = std::make_unique<store::Database>(std::filesystem::path(workDir().toStdString()) / "Data");
    changeAddress(QStringLiteral("Čapek"), person("Čapek", "Karel", "", "222"));
    EXPECT_EQ(run(withServer(book), m_server->password.toUtf8() + "\n"), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("Čapek, Karel, 222"))) << out.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("--yes"))) << err.toStdString();
    EXPECT_EQ(addresses().at(QStringLiteral("Čapek"))[3], QStringLiteral("222"));

    SyncCommand command = withServer(book);
    command.acceptPairs = true;
    EXPECT_EQ(run(command, m_server->password.toUtf8() + "\n"), 0) << err.toStdString();
    EXPECT_EQ(addresses().size(), 1u);
    EXPECT_EQ(addresses().at(QStringLiteral("Čapek"))[3], QStringLiteral("111")) << "the server's version, as told";
    EXPECT_TRUE(out.contains(QStringLiteral("Zde byl: Čapek, Karel, 222"))) << out.toStdString();
}

// --calendar turns the planner's sync on for good, --namedays the name-day
// calendar; the next plain --sync does both again from the saved settings.
TEST_F(SyncCommandLine, theCalendarOptionsSyncThePlannerAndTheNameDaysFromThenOn)
{
    const QString tag = QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        store::Cursor days(database(), "Datp.DB");
        days.open();
        days.insert();
        days.setText("Datum", "5.5.2027");
        days.setText("Činnost", "Zubař");
        days.post();
    }
    SyncCommand command = withServer(QStringLiteral("Kontakty %1").arg(tag));
    command.calendar = QStringLiteral("Plánovač %1").arg(tag);
    command.nameDays = true;
    EXPECT_EQ(run(command, m_server->password.toUtf8() + "\n"), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Plánovač s kalendářem „Plánovač %1“ synchronizován: ze serveru 0, na server 1")
                                 .arg(tag)))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Kalendář „Jmeniny a výročí“: jmenin a výročí odesláno 366")))
        << out.toStdString();

    SyncCommand again;
    again.passwordStdin = true;
    EXPECT_EQ(run(again, m_server->password.toUtf8() + "\n"), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Plánovač s kalendářem „Plánovač %1“ synchronizován: ze serveru 0, na server 0")
                                 .arg(tag)))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("jmenin a výročí odesláno 0"))) << out.toStdString();
}

} // namespace
