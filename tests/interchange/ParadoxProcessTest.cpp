// Old Paradox tables are read in a process apart: whatever happens there (a
// crash, a hang, memory without end, output that makes no sense) ends in one
// Czech message with nothing written, and pxlib's English goes to the log.
// A valid old data directory comes in whole, its tables without a key too.

#include "InterchangeFixture.h"

#include "ParadoxFixture.h"

#include "interchange/CommandLineTransfer.h"
#include "interchange/Log.h"
#include "interchange/ParadoxProcess.h"

#include <QFile>

extern "C" {
#include <paradox.h>
}

namespace {

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

class ParadoxProcessTest : public InterchangeFixture {
protected:
    void SetUp() override
    {
        InterchangeFixture::SetUp();
        m_old = workDir() / "stara";
        std::filesystem::create_directory(m_old);
        interchange::setLogFile(QString::fromStdString((workDir() / "pelmir.log").string()));
    }
    void TearDown() override
    {
        interchange::setLogFile(QString());
        interchange::setParadoxReaderCommand(QStringLiteral(PARADOX_READER_CHILD));
        InterchangeFixture::TearDown();
    }

    void writeAddresses(int count)
    {
        paradox_fixture::Table table;
        table.primaryKeyFields = 1;
        table.fields = {{"Příjmení", pxfAlpha, 40}, {"Jméno", pxfAlpha, 25}, {"Adresa", pxfAlpha, 80},
                        {"Telefon", pxfAlpha, 30}, {"Poznámka", pxfAlpha, 80}};
        for (int i = 0; i < count; ++i)
            table.rows.push_back({QStringLiteral("Novák %1").arg(i, 4, 10, QLatin1Char('0')), u("Jan")});
        paradox_fixture::write(m_old, "Dat.DB", table);
    }

    int importOld(interchange::Choice choice = interchange::Choice::Skip)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out), err(&m_err);
        return interchange::importFromCommandLine(database(), QString::fromStdString(m_old.string()), choice, {},
                                                  out, err);
    }

    QString log() const
    {
        QFile file(QString::fromStdString((workDir() / "pelmir.log").string()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::filesystem::path m_old;
    QString m_out, m_err;
};

struct Failure {
    const char* how;
    interchange::ReaderLimits limits;
    const char* message;
    const char* logged;
};

// Each way the reading process can fail: the user reads one Czech sentence, the log the details.
TEST_F(ParadoxProcessTest, AFailedReadingProcessIsOneCzechMessage)
{
    writeAddresses(3);
    interchange::ReaderLimits quick;
    quick.wallMilliseconds = 1500;
    interchange::ReaderLimits small;
    small.addressSpaceBytes = qint64(256) << 20;
    const QString folder = QString::fromStdString(m_old.string());
    const Failure failures[] = {
        {"--crash", {}, "nelze přečíst: jejich čtení skončilo chybou", "Could not read data of record."},
        {"--hang", quick, "se nepodařilo přečíst do 1 s a jejich čtení bylo ukončeno", "was ended"},
        {"--garbage", {}, "nelze přečíst: jejich čtení skončilo chybou", "malformed"},
        {"--greedy", small, "nelze přečíst: jejich čtení skončilo chybou", "the reading process ended"},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.how);
        interchange::setParadoxReaderCommand(QStringLiteral(PARADOX_READER_CHILD), {QString::fromLatin1(failure.how)});
        QString error;
        const std::optional<interchange::ImportSource> read =
            interchange::readParadoxDirectoryApart(folder, {}, {}, &error, failure.limits);
        EXPECT_FALSE(read.has_value());
        EXPECT_TRUE(error.startsWith(QStringLiteral("Tabulky Paradox ve složce %1 ").arg(folder))) << error.toStdString();
        EXPECT_TRUE(error.contains(u(failure.message))) << error.toStdString();
        EXPECT_TRUE(log().contains(u(failure.logged))) << log().toStdString();
    }
}

// The whole command: a crash there changes nothing here, and the terminal gets Czech only.
TEST_F(ParadoxProcessTest, ACrashWritesNothing)
{
    writeAddresses(3);
    m_database.reset();
    const QByteArray before = fileBytes("Dat.DB");
    m_database = std::make_unique<store::Database>(dataDir());
    interchange::setParadoxReaderCommand(QStringLiteral(PARADOX_READER_CHILD), {QStringLiteral("--crash")});
    EXPECT_EQ(importOld(), 1);
    EXPECT_TRUE(m_err.endsWith(QStringLiteral("soubory jsou zřejmě poškozené.\nNic se nezapsalo.\n"))) << m_err.toStdString();
    EXPECT_FALSE(m_err.contains(QStringLiteral("Could not"))) << m_err.toStdString();
    m_database.reset();
    EXPECT_EQ(fileBytes("Dat.DB"), before);
}

// The crafted tables of the attack, through the real reading process: a block
// chain that loops and a number field 40 bytes long are refused in Czech.
TEST_F(ParadoxProcessTest, CraftedTablesAreRefusedWithoutHarm)
{
    writeAddresses(300);
    const QString path = QString::fromStdString((m_old / "Dat.DB").string());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int headerSize = static_cast<unsigned char>(bytes[2]) | static_cast<unsigned char>(bytes[3]) << 8;
    const int blockSize = static_cast<unsigned char>(bytes[5]) * 1024;
    // Block 2 leads back to block 1.
    bytes[headerSize + blockSize] = 1;
    bytes[headerSize + blockSize + 1] = 0;
    file.seek(0);
    file.write(bytes);
    file.close();
    EXPECT_EQ(importOld(), 1);
    EXPECT_TRUE(m_err.contains(u("Adresář (Dat.DB): soubor není tabulka Paradox, nebo je poškozený (řetěz datových "
                                 "bloků se vrací do bloku 1)")))
        << m_err.toStdString();
    EXPECT_TRUE(m_err.endsWith(QStringLiteral("Nic se nezapsalo.\n")));
    EXPECT_TRUE(records("Dat.DB").empty());
}

// A valid old data directory comes in whole in one run, the tables without a
// key (weights, world time, the backup log, name days replaced) like the others.
TEST_F(ParadoxProcessTest, AValidDirectoryComesInWhole)
{
    writeAddresses(2);
    paradox_fixture::Table weights;
    weights.fields = {{"Jméno", pxfAlpha, 40}, {"Datum", pxfDate, 4}, {"Výška", pxfShort, 2},
                      {"Váha", pxfLong, 4}, {"Kategorie", pxfAlpha, 30}};
    weights.rows = {{u("Jana"), u("1.2.2003"), u("172"), u("64"), u("normální")}};
    paradox_fixture::write(m_old, "Data.DB", weights);
    paradox_fixture::Table log;
    log.fields = {{"Datum", pxfDate, 4}, {"Čas", pxfTime, 4}, {"ČasDisk", pxfTime, 4}};
    log.rows = {{u("8.12.2025"), u("8:05:00"), u("8:06:00")}};
    paradox_fixture::write(m_old, "Zaloha.DB", log);
    paradox_fixture::Table cities;
    cities.password = "Kv7";
    cities.fields = {{"Země", pxfAlpha, 50}, {"Město", pxfAlpha, 50}, {"Směr", pxfAlpha, 1}, {"Posun", pxfTime, 4}};
    cities.rows = {{u("Česko"), u("Pelmírov"), u("-"), u("1:00:00")}};
    paradox_fixture::write(m_old, "Cas.DB", cities);
    const std::vector<std::vector<QString>> days = records("Svatek.DB");
    paradox_fixture::Table names;
    names.password = "Kv7";
    names.fields = {{"Datum", pxfAlpha, 15}, {"Svátek", pxfAlpha, 80}, {"Výročí", pxfAlpha, 80}, {"Číslo", pxfLong, 4}};
    names.rows = {{days[0][0], u("Nový svátek"), u("Svatba rodičů"), u("1")}};
    paradox_fixture::write(m_old, "Svatek.DB", names);
    const std::size_t citiesBefore = records("Cas.DB").size();

    m_out.clear();
    m_err.clear();
    QTextStream out(&m_out), err(&m_err);
    ASSERT_EQ(interchange::importFromCommandLine(database(), QString::fromStdString(m_old.string()),
                                                 interchange::Choice::Replace, {"Kv7"}, out, err),
              0)
        << m_err.toStdString();
    out.flush();
    EXPECT_EQ(records("Dat.DB").size(), 2u);
    EXPECT_EQ(records("Data.DB").size(), 1u);
    EXPECT_EQ(records("Zaloha.DB").size(), 1u);
    EXPECT_EQ(records("Cas.DB").size(), citiesBefore + 1);
    EXPECT_EQ(records("Svatek.DB")[0][1], u("Nový svátek"));
    EXPECT_EQ(records("Svatek.DB").size(), days.size());
    for (const char* table : {"Adresář (Dat.DB)", "Váha (Data.DB)", "Statistika záloh (Zaloha.DB)", "Časové odchylky (Cas.DB)",
                              "Jmeniny a rodinná výročí (Svatek.DB)"})
        EXPECT_TRUE(m_out.contains(u(table) + QStringLiteral(": přidáno"))) << table << m_out.toStdString();
}

} // namespace
