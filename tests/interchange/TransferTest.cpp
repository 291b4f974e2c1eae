// The whole way through files, as scripts use it: export then import gives
// the same records, and every kind of bad input says what and where and
// leaves the tables byte for byte as they were.

#include "InterchangeFixture.h"

#include "ParadoxFixture.h"

#include "interchange/CommandLineTransfer.h"
#include "interchange/TextCodec.h"

#include <QFile>

extern "C" {
#include <paradox.h>
}

namespace {

using interchange::Choice;

class TransferTest : public InterchangeFixture {
protected:
    int importFile(const std::filesystem::path& path, Choice choice = Choice::Skip)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out), err(&m_err);
        return interchange::importFromCommandLine(database(), QString::fromStdString(path.string()), choice, {},
                                                  out, err);
    }
    int exportFile(const std::filesystem::path& path, bool windows1250 = false)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out), err(&m_err);
        return interchange::exportFromCommandLine(database(), QString::fromStdString(path.string()), windows1250,
                                                  out, err);
    }
    QString m_out, m_err;
};

const std::vector<std::vector<std::string>> kAddresses = {
    {"Adámek", "Jiří", "Dlouhá 5, 110 00 Praha 1", "777 123 456, 212 345 678", "Soused; klíče u něj"},
    {"Čermák", "Štěpán", "Kladenská 1, 272 01 Kladno", "", "Ďábelské ódy úpěl příliš žluťoučký kůň, celé odpoledne."},
    {"Stavby Kladno s.r.o.", "", "Průmyslová 7, 272 01 Kladno", "312 111 222", "Fakturace \"do 14 dnů\""},
    {"Šťastná", "Řehořka", "", "+420 603 111 222, 603 333 444", ""},
    {"Žák", "", "Brno", "", "čárka, středník; zpětné \\ lomítko"},
};

// Export then import into an empty address book gives the very same records,
// in both formats and both CSV encodings.
TEST_F(TransferTest, RoundTripThroughBothFormats)
{
    insert("Dat.DB", kAddresses);
    const std::vector<std::vector<QString>> stored = records("Dat.DB");
    for (const char* name : {"adresy.vcf", "adresy.csv"}) {
        const std::filesystem::path file = workDir() / name;
        ASSERT_EQ(exportFile(file), 0) << m_err.toStdString();
        EXPECT_EQ(m_out, QStringLiteral("Zapsáno 5 adres do %1.\n").arg(QString::fromStdString(file.string())));
        database().emptyTable("Dat.DB");
        ASSERT_TRUE(records("Dat.DB").empty());
        ASSERT_EQ(importFile(file), 0) << m_err.toStdString();
        EXPECT_EQ(records("Dat.DB"), stored) << name;
    }
}

TEST_F(TransferTest, CsvRoundTripInWindows1250)
{
    insert("Dat.DB", kAddresses);
    const std::vector<std::vector<QString>> stored = records("Dat.DB");
    ASSERT_EQ(exportFile(workDir() / "a.csv", true), 0) << m_err.toStdString();
    database().emptyTable("Dat.DB");
    ASSERT_EQ(importFile(workDir() / "a.csv"), 0) << m_err.toStdString();
    EXPECT_EQ(records("Dat.DB"), stored);
}

// Spreadsheets and other address books write other columns, separators and
// encodings: the recognised columns fill the fields, the rest goes to the note.
TEST_F(TransferTest, CsvOfOtherPrograms)
{
    const struct {
        const char* what;
        QByteArray bytes;
        std::vector<std::vector<QString>> expected;
    } cases[] = {
        {"commas, English header, street and city apart",
         QStringLiteral("First Name,Last Name,Company,Street,Postal Code,City,Mobile Phone,Home Phone,E-mail Address,Birthday\r\n"
                        "Jiří,Adámek,,Dlouhá 5,110 00,Praha 1,777 123 456,212 345 678,jiri@example.cz,1.2.1970\r\n"
                        ",,Stavby s.r.o.,,,,312 111 222,,,\r\n")
             .toUtf8(),
         {address("Adámek", "Jiří", "Dlouhá 5, 110 00 Praha 1", "777 123 456, 212 345 678",
                  "E-mail: jiri@example.cz; Birthday: 1.2.1970"),
          address("Stavby s.r.o.", "", "", "312 111 222")}},
        {"Windows-1250 with semicolons",
         QByteArray("P\xF8\xEDjmen\xED;Jm\xE9no;Telefon\r\n\x8A\x9D" "astn\xE1;\xD8" "eho\xF8ka;603 111 222\r\n"),
         {address("Šťastná", "Řehořka", "", "603 111 222")}},
        {"ISO-8859-2", QByteArray("P\xF8\xEDjmen\xED;Pozn\xE1mka\n\xA9\xBB" "astn\xE1;\xBEluv\xE1\n"),
         {address("Šťastná", "", "", "", "žluvá")}},
        {"a full name only", "\xEF\xBB\xBF" + QStringLiteral("Celé jméno;Adresa\nJan Amos Komenský;Uherský Brod\n").toUtf8(),
         {address("Komenský", "Jan Amos", "Uherský Brod")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        database().emptyTable("Dat.DB");
        ASSERT_EQ(importFile(writeFile("jine.csv", c.bytes)), 0) << m_err.toStdString();
        EXPECT_EQ(records("Dat.DB"), c.expected);
    }
}

// The CSV file opens in spreadsheets: a byte-order mark, the field names, ";" and quotes where needed.
TEST_F(TransferTest, CsvExportInBothEncodings)
{
    insert("Dat.DB", {{"Šťastná", "Řehořka", "", "603 111 222", "řekla \"ahoj\"; pak šla"}, {"Novák", "Jan", "", "", "😀"}});
    ASSERT_EQ(exportFile(workDir() / "utf8.csv"), 0);
    QFile utf8(QString::fromStdString((workDir() / "utf8.csv").string()));
    ASSERT_TRUE(utf8.open(QIODevice::ReadOnly));
    EXPECT_EQ(utf8.readAll(), QByteArray("\xEF\xBB\xBF"
                                         "Příjmení;Jméno;Adresa;Telefon;Poznámka\r\n"
                                         "Novák;Jan;;;😀\r\n"
                                         "Šťastná;Řehořka;;603 111 222;\"řekla \"\"ahoj\"\"; pak šla\"\r\n"));
    ASSERT_EQ(exportFile(workDir() / "cp1250.csv", true), 0);
    EXPECT_EQ(m_err, QStringLiteral("1 znaků nemá kódování Windows-1250; v souboru jsou zapsány jako otazník.\n"));
    QFile cp1250(QString::fromStdString((workDir() / "cp1250.csv").string()));
    ASSERT_TRUE(cp1250.open(QIODevice::ReadOnly));
    EXPECT_EQ(interchange::decode(cp1250.readAll(), "windows-1250").value_or(QString()),
              QStringLiteral("Příjmení;Jméno;Adresa;Telefon;Poznámka\r\nNovák;Jan;;;?\r\n"
                             "Šťastná;Řehořka;;603 111 222;\"řekla \"\"ahoj\"\"; pak šla\"\r\n"));
}

// A cell a spreadsheet would run as a formula is written so that it stays
// text; telephone numbers and negative numbers stay readable as they are;
// importing the file gives the very texts back.
TEST_F(TransferTest, CsvCellsNeverBecomeFormulas)
{
    const std::vector<std::vector<std::string>> addresses = {
        {"=cmd|' /C calc'!A0", "@SUM(A1)", "-A1+B1", "+420 603 111 222", "-5; +-; -"},
        {"Novák", "+Jan", "", "+420603111222", "=1+1"},
    };
    insert("Dat.DB", addresses);
    const std::vector<std::vector<QString>> stored = records("Dat.DB");
    ASSERT_EQ(exportFile(workDir() / "a.csv"), 0) << m_err.toStdString();
    QFile file(QString::fromStdString((workDir() / "a.csv").string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF"
                                         "Příjmení;Jméno;Adresa;Telefon;Poznámka\r\n"
                                         "'=cmd|' /C calc'!A0;'@SUM(A1);'-A1+B1;+420 603 111 222;\"-5; +-; -\"\r\n"
                                         "Novák;'+Jan;;+420603111222;'=1+1\r\n"));
    database().emptyTable("Dat.DB");
    ASSERT_EQ(importFile(workDir() / "a.csv"), 0) << m_err.toStdString();
    EXPECT_EQ(records("Dat.DB"), stored);
}

// Nothing is cut silently: each value shortened to its field's width or left
// out is named with its record, field and the text lost, and counted.
TEST_F(TransferTest, ShortenedAndLeftOutValuesAreListed)
{
    const QString note = QStringLiteral("Soused od naproti, má klíče od sklepa a zalévá květiny");
    const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Novák;Jan\r\nNOTE:" + note.toUtf8() +
                            "\r\nEMAIL:jan.novak@example.cz\r\nX-SKYPE:jan.novak77\r\nEND:VCARD\r\n";
    ASSERT_EQ(importFile(writeFile("a.vcf", card)), 0) << m_err.toStdString();
    const QString stored = records("Dat.DB")[0][4];
    EXPECT_EQ(stored.size(), 80);
    const QString lost = (note + QStringLiteral("; E-mail: jan.novak@example.cz")).mid(80);
    EXPECT_TRUE(m_err.contains(QStringLiteral("Adresář (Dat.DB): Řádek 1 (Novák): pole „Poznámka“ zkráceno na 80 "
                                              "znaků; nevešlo se: „%1“\n").arg(lost)))
        << m_err.toStdString();
    EXPECT_TRUE(m_err.contains(
        QStringLiteral("Adresář (Dat.DB): Řádek 1 (Novák): vlastnost X-SKYPE se nepřenáší: „jan.novak77“\n")))
        << m_err.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("nečitelných 0, zkrácených nebo vynechaných hodnot 2"))) << m_out.toStdString();

    // A CSV row: a long address and a third telephone that, moved to the note, no longer fits there.
    const QString place = QStringLiteral("Nábřeží Kapitána Jaroše 1000/7, Holešovice, 170 00 Praha 7 - Letná, Česká republika");
    const QByteArray csv = "Příjmení;Adresa;Telefon;Mobil;Fax;Poznámka\n"
                           "Bílá;" + place.toUtf8() + ";212 345 678;777 123 456;212 345 679;" +
                           QByteArray(60, 'x') + "\n";
    const QString fullNote = QString(60, QLatin1Char('x')) + QStringLiteral("; Další telefony: 212 345 679");
    ASSERT_EQ(importFile(writeFile("b.csv", csv)), 0) << m_err.toStdString();
    EXPECT_TRUE(m_err.contains(QStringLiteral("Řádek 2 (Bílá): pole „Adresa“ zkráceno na 80 znaků; nevešlo se: „%1“")
                                   .arg(place.mid(80))))
        << m_err.toStdString();
    EXPECT_TRUE(m_err.contains(QStringLiteral("Řádek 2 (Bílá): pole „Poznámka“ zkráceno na 80 znaků; nevešlo se: „%1“")
                                   .arg(fullNote.mid(80))))
        << m_err.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("zkrácených nebo vynechaných hodnot 2"))) << m_out.toStdString();
}

struct BadInput {
    const char* name;
    const char* file;
    QByteArray bytes;
    const char* phrase;
};

class BadInputs : public TransferTest, public testing::WithParamInterface<BadInput> {};

// A bad file writes nothing and says what is wrong where.
TEST_P(BadInputs, NothingWrittenAndTheReasonNamed)
{
    insert("Dat.DB", {{"Adámek", "Jiří", "", "", ""}});
    m_database.reset();
    const QByteArray before = fileBytes("Dat.DB");
    m_database = std::make_unique<store::Database>(dataDir());
    const std::filesystem::path path = writeFile(GetParam().file, GetParam().bytes);
    EXPECT_EQ(importFile(path, Choice::Replace), 1);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8(GetParam().phrase))) << m_err.toStdString();
    EXPECT_TRUE(m_err.endsWith(QStringLiteral("Nic se nezapsalo.\n"))) << m_err.toStdString();
    m_database.reset();
    EXPECT_EQ(fileBytes("Dat.DB"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputs,
    testing::Values(
        BadInput{"broken_folding", "a.vcf",
                 "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Adámek;Jiří\r\nNOTE:a\r\nb\r\nEND:VCARD\r\n"
                 "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nový;Jan\r\nEND:VCARD\r\n",
                 "Adresář (Dat.DB): Řádek 5: řádek nemá tvar vlastnosti"},
        BadInput{"unknown_encoding", "b.vcf", "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=x-mac-czech:Nov\xE1k\r\nEND:VCARD\r\n",
                 "Řádek 3: neznámé kódování znaků „x-mac-czech“"},
        BadInput{"missing", "c.vcf", QByteArray(), "V souboru není nic k importu"},
        BadInput{"csv_column_count", "d.csv", "Příjmení;Jméno\nNovák;Jan\nNový;Petr;navíc\n",
                 "Adresář (Dat.DB): Řádek 3: řádek má 3 sloupců, záhlaví jich má 2"},
        BadInput{"csv_unclosed_quote", "e.csv", "Příjmení;Jméno\nNovák;Jan\n\"Nový;Petr\n",
                 "Řádek 3: uvozovky otevřené na tomto řádku nejsou nikde uzavřeny"},
        BadInput{"csv_broken_utf8", "f.csv", "Příjmení;Jméno\nNovák;Jan\nNov\xC3ý;Petr\n",
                 "Řádek 3: poškozené znaky"},
        BadInput{"csv_no_name_column", "g.csv", "Kdo;Kde\nNovák;Praha\n",
                 "nepojmenovává sloupec s příjmením nebo názvem firmy (Kdo, Kde)"}),
    [](const testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

// A file of 2 GB is refused before it is read.
TEST_F(TransferTest, HugeFileIsRefusedUnread)
{
    const std::filesystem::path path = writeFile("velky.vcf", "BEGIN:VCARD\r\n");
    ASSERT_TRUE(QFile::resize(QString::fromStdString(path.string()), qint64(2) << 30));
    EXPECT_EQ(importFile(path), 1);
    EXPECT_TRUE(m_err.contains(QStringLiteral("má 2048 MB; import čte soubory nejvýš do 512 MB"))) << m_err.toStdString();
    QFile::remove(QString::fromStdString(path.string()));
}

// A truncated Paradox table names its records and writes nothing, not even its readable ones.
TEST_F(TransferTest, TruncatedParadoxTableWritesNothing)
{
    const std::filesystem::path old = workDir() / "stara";
    std::filesystem::create_directory(old);
    paradox_fixture::Table table;
    table.primaryKeyFields = 1;
    table.fields = {{"Příjmení", pxfAlpha, 40}, {"Jméno", pxfAlpha, 25}};
    for (int i = 0; i < 300; ++i)
        table.rows.push_back({QStringLiteral("Novák %1").arg(i), QStringLiteral("Jan")});
    paradox_fixture::write(old, "Dat.DB", table);
    QFile file(QString::fromStdString((old / "Dat.DB").string()));
    ASSERT_TRUE(file.resize(file.size() / 2));
    const QByteArray before = fileBytes("Dat.DB");
    EXPECT_EQ(importFile(old), 1);
    EXPECT_TRUE(m_err.contains(QStringLiteral("Adresář (Dat.DB): Záznam "))) << m_err.toStdString();
    EXPECT_TRUE(records("Dat.DB").empty());
    m_database.reset();
    EXPECT_EQ(fileBytes("Dat.DB"), before);
}

// The old program's tables come into theirs, conflicts settled as asked.
TEST_F(TransferTest, ParadoxDirectoryImport)
{
    insert("Dat.DB", {{"Adámek", "Jiří", "staré", "", ""}});
    const std::filesystem::path old = workDir() / "stara";
    std::filesystem::create_directory(old);
    paradox_fixture::Table addresses;
    addresses.codePage = 852;
    addresses.primaryKeyFields = 1;
    addresses.fields = {{"Příjmení", pxfAlpha, 40}, {"Jméno", pxfAlpha, 25}, {"Adresa", pxfAlpha, 80},
                        {"Telefon", pxfAlpha, 30}, {"Poznámka", pxfAlpha, 80}};
    addresses.rows = {{QStringLiteral("Adámek"), QStringLiteral("Jiří"), QStringLiteral("nové")},
                      {QStringLiteral("Bílá"), QStringLiteral("Eva")}};
    paradox_fixture::write(old, "DAT.DB", addresses);
    paradox_fixture::Table planner;
    planner.primaryKeyFields = 1;
    planner.fields = {{"Datum", pxfDate, 4}, {"Činnost", pxfAlpha, 120}};
    planner.rows = {{QStringLiteral("24.12.2025"), QStringLiteral("Štědrý den")}};
    paradox_fixture::write(old, "DATP.DB", planner);
    ASSERT_EQ(importFile(old / "DAT.DB", Choice::Replace), 0) << m_err.toStdString();
    EXPECT_EQ(records("Dat.DB"), (std::vector<std::vector<QString>>{address("Adámek", "Jiří", "nové"), address("Bílá", "Eva")}));
    EXPECT_EQ(records("Datp.DB"), (std::vector<std::vector<QString>>{{QStringLiteral("24.12.2025"), QStringLiteral("Štědrý den")}}));
    EXPECT_TRUE(m_out.contains(QStringLiteral("Adresář (Dat.DB): přidáno 1, nahrazeno 1"))) << m_out.toStdString();
}

} // namespace
