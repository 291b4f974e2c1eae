// Old Paradox tables read into the tables here: each user table as the old
// program wrote it, the two code pages, memos in the record and in both block
// kinds of the memo file, encrypted and truncated tables.

#include "TestSupport.h"

#include "ParadoxFixture.h"

#include "interchange/Paradox.h"

#include "store/Catalogue.h"

#include <QFile>
#include <QTemporaryDir>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <gtest/gtest.h>

#include <functional>

namespace {

using paradox_fixture::Field;
using paradox_fixture::Table;

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

class ParadoxRead : public testing::Test {
protected:
    std::filesystem::path folder() const { return m_dir.path().toStdString(); }

    interchange::TableSource read(const std::string& file, const std::vector<std::string>& passwords = {})
    {
        const std::filesystem::path path = interchange::findTableFile(folder(), file);
        EXPECT_FALSE(path.empty()) << file;
        return interchange::readParadoxTable(path, *store::findTableDef(file), passwords);
    }

    QTemporaryDir m_dir;
};

Table addresses(int codePage)
{
    Table table;
    table.codePage = codePage;
    table.primaryKeyFields = 1;
    table.fields = {{"Příjmení", pxfAlpha, 40}, {"Jméno", pxfAlpha, 25}, {"Adresa", pxfAlpha, 80},
                    {"Telefon", pxfAlpha, 30}, {"Poznámka", pxfAlpha, 80}};
    table.rows = {{u("Žluťoučký"), u("Řehoř"), u("Dlouhá 5, 110 00 Praha 1"), u("212 345 678"), u("úpěl ďábelské ódy")},
                  {u("Šťastná"), u("Ľudmila"), QString(), u("603 111 222"), QString()}};
    return table;
}

// Czech letters come through from both code pages the old program used.
TEST_F(ParadoxRead, AddressTableInBothCodePages)
{
    for (const int codePage : {852, 1250}) {
        QFile::remove(m_dir.filePath(QStringLiteral("DAT.DB")));
        paradox_fixture::write(folder(), "DAT.DB", addresses(codePage));
        const interchange::TableSource table = read("Dat.DB");
        ASSERT_FALSE(table.skipped) << table.skipReason.toStdString();
        EXPECT_TRUE(table.problems.empty());
        ASSERT_EQ(table.records.size(), 2u) << codePage;
        EXPECT_EQ(table.records[0].fields, addresses(codePage).rows[0]) << codePage;
        EXPECT_EQ(table.records[1].fields[1], u("Ľudmila")) << codePage;
        EXPECT_EQ(table.records[1].location, 2);
        EXPECT_TRUE(table.notes.contains(QStringLiteral("Kódová stránka %1.").arg(codePage)));
    }
}

// Notes: in the record itself, suballocated in the memo file, and longer than a block part.
TEST_F(ParadoxRead, PersonalRecordsWithMemosOfEverySize)
{
    const QString small = u("Krátká poznámka");
    const QString middle = u("{\\rtf1\\ansi\\ansicpg1250 Středně dlouhý záznam o žluťoučkém koni}") + QString(300, QLatin1Char('x'));
    const QString large = u("Dlouhý záznam: ") + QString(5000, QChar(0x0159)); // ř
    Table table;
    table.primaryKeyFields = 1;
    table.fields = {{"Název", pxfAlpha, 35}, {"Text", pxfFmtMemoBLOb, 50}};
    table.rows = {{u("Malý"), small}, {u("Střední"), middle}, {u("Velký"), large}, {u("Prázdný"), QString()}};
    paradox_fixture::write(folder(), "Datz.DB", table);
    const interchange::TableSource source = read("Datz.DB");
    ASSERT_FALSE(source.skipped) << source.skipReason.toStdString();
    ASSERT_TRUE(source.problems.empty()) << source.problems[0].message.toStdString();
    ASSERT_EQ(source.records.size(), 4u);
    EXPECT_EQ(source.records[0].fields[1], small);
    EXPECT_EQ(source.records[1].fields[1], middle);
    EXPECT_EQ(source.records[2].fields[1], large);
    EXPECT_EQ(source.records[3].fields[1], QString());
}

// Dates, times and numbers become the texts the store takes.
TEST_F(ParadoxRead, DatesTimesAndNumbers)
{
    Table planner;
    planner.primaryKeyFields = 1;
    planner.fields = {{"Datum", pxfDate, 4}, {"Činnost", pxfAlpha, 120}};
    planner.rows = {{u("5.3.2024"), u("Zubař v 10:00")}, {u("31.12.1999"), u("Silvestr")}};
    paradox_fixture::write(folder(), "Datp.DB", planner);

    Table weights;
    weights.fields = {{"Jméno", pxfAlpha, 40}, {"Datum", pxfDate, 4}, {"Výška", pxfShort, 2},
                      {"Váha", pxfLong, 4}, {"Kategorie", pxfAlpha, 30}};
    weights.rows = {{u("Jana"), u("1.2.2003"), u("172"), u("64"), u("normální")}};
    paradox_fixture::write(folder(), "Data.DB", weights);

    Table log;
    log.fields = {{"Datum", pxfDate, 4}, {"Čas", pxfTime, 4}, {"ČasDisk", pxfTime, 4}};
    log.rows = {{u("8.12.2025"), u("8:05:00"), u("17:30:15")}};
    paradox_fixture::write(folder(), "Zaloha.DB", log);

    const interchange::TableSource p = read("Datp.DB");
    ASSERT_EQ(p.records.size(), 2u);
    EXPECT_EQ(p.records[0].fields, (std::vector<QString>{u("5.3.2024"), u("Zubař v 10:00")}));
    EXPECT_EQ(p.records[1].fields[0], u("31.12.1999"));
    const interchange::TableSource w = read("Data.DB");
    ASSERT_EQ(w.records.size(), 1u);
    EXPECT_EQ(w.records[0].fields, (std::vector<QString>{u("Jana"), u("1.2.2003"), u("172"), u("64"), u("normální")}));
    const interchange::TableSource z = read("Zaloha.DB");
    ASSERT_EQ(z.records.size(), 1u);
    EXPECT_EQ(z.records[0].fields, (std::vector<QString>{u("8.12.2025"), u("8:05:00"), u("17:30:15")}));
}

// The appliance register: its fields by name whatever their order, a memo, and an extra field noted.
TEST_F(ParadoxRead, ApplianceRegisterMatchesFieldsByName)
{
    Table table;
    table.primaryKeyFields = 1;
    table.fields = {{"Výrobek", pxfAlpha, 40}, {"Záruka do", pxfDate, 4}, {"Výrobce", pxfAlpha, 40},
                    {"Záruční opravy", pxfMemoBLOb, 20}, {"Barva", pxfAlpha, 10}};
    table.rows = {{u("Pračka"), u("1.6.2027"), u("Whirlpool"), u("Výměna čerpadla 3.2.2026, znovu 4.5.2026"), u("bílá")}};
    paradox_fixture::write(folder(), "VYROB.DB", table);
    const interchange::TableSource source = read("Vyrob.DB");
    ASSERT_EQ(source.records.size(), 1u);
    const std::vector<QString>& fields = source.records[0].fields;
    EXPECT_EQ(fields[0], u("Pračka"));
    EXPECT_EQ(fields[1], u("Whirlpool"));
    EXPECT_EQ(fields[4], u("1.6.2027"));
    EXPECT_EQ(fields[13], u("Výměna čerpadla 3.2.2026, znovu 4.5.2026"));
    EXPECT_TRUE(source.notes.contains(u("Pole „Barva“ tabulka nemá; nepřenáší se.")));
    EXPECT_TRUE(source.notes.contains(u("Pole „Číslo výrobku“ v souboru není; zůstane prázdné.")));
}

// An encrypted table is read only with its password; without it, it is skipped and says why.
TEST_F(ParadoxRead, EncryptedTableNeedsItsPassword)
{
    Table table;
    table.primaryKeyFields = 1;
    table.password = "Kv7";
    table.fields = {{"Telefonní obvod", pxfAlpha, 50}, {"Předvolba", pxfAlpha, 12}};
    table.rows = {{u("Plzeňský kraj"), u("37")}};
    paradox_fixture::write(folder(), "TelefCR.DB", table);
    const interchange::TableSource skipped = read("TelefCR.DB", {"abc"});
    EXPECT_TRUE(skipped.skipped);
    EXPECT_TRUE(skipped.skipReason.contains(u("zašifrovaná"))) << skipped.skipReason.toStdString();
    EXPECT_TRUE(skipped.records.empty());
    const interchange::TableSource opened = read("TelefCR.DB", {"abc", "Kv7"});
    ASSERT_FALSE(opened.skipped);
    ASSERT_EQ(opened.records.size(), 1u);
    EXPECT_EQ(opened.records[0].fields[0], u("Plzeňský kraj"));
}

// A truncated table or memo file is reported with the record, never read as rubbish.
TEST_F(ParadoxRead, TruncatedFilesAreReported)
{
    Table table = addresses(1250);
    for (int i = 0; i < 200; ++i)
        table.rows.push_back({QStringLiteral("Novák %1").arg(i), u("Jan")});
    paradox_fixture::write(folder(), "Dat.DB", table);
    QFile file(m_dir.filePath(QStringLiteral("Dat.DB")));
    const qint64 full = file.size();
    // Half of the data blocks go.
    ASSERT_TRUE(file.resize(full / 2));
    const interchange::TableSource cut = read("Dat.DB");
    ASSERT_FALSE(cut.skipped);
    ASSERT_FALSE(cut.problems.empty());
    EXPECT_TRUE(cut.problems[0].message.startsWith(u("Záznam "))) << cut.problems[0].message.toStdString();
    EXPECT_LT(cut.records.size(), table.rows.size());
    for (const interchange::SourceRecord& record : cut.records)
        EXPECT_FALSE(record.fields[0].isEmpty());

    ASSERT_TRUE(file.resize(100));
    const interchange::TableSource header = read("Dat.DB");
    EXPECT_TRUE(header.skipped);
    EXPECT_TRUE(header.skipReason.contains(u("zkrácený"))) << header.skipReason.toStdString();

    Table notes;
    notes.fields = {{"Název", pxfAlpha, 35}, {"Text", pxfMemoBLOb, 20}};
    notes.rows = {{u("A"), QString(3000, QLatin1Char('a'))}};
    paradox_fixture::write(folder(), "Datz.DB", notes);
    ASSERT_TRUE(QFile::resize(m_dir.filePath(QStringLiteral("Datz.MB")), 5000));
    const interchange::TableSource memo = read("Datz.DB");
    ASSERT_EQ(memo.problems.size(), 1u);
    EXPECT_EQ(memo.problems[0].location, 1);
    EXPECT_TRUE(memo.problems[0].message.contains(u("Datz.MB"))) << memo.problems[0].message.toStdString();
}

// The whole folder: each catalogue table that is there, in catalogue order.
TEST_F(ParadoxRead, DirectoryFindsTheCatalogueTables)
{
    EXPECT_FALSE(interchange::isParadoxDirectory(folder()));
    paradox_fixture::write(folder(), "Dat.db", addresses(852));
    Table log;
    log.fields = {{"Datum", pxfDate, 4}, {"Čas", pxfTime, 4}, {"ČasDisk", pxfTime, 4}};
    paradox_fixture::write(folder(), "ZALOHA.DB", log);
    QFile other(m_dir.filePath(QStringLiteral("Cizi.DB")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    EXPECT_TRUE(interchange::isParadoxDirectory(folder()));
    const interchange::ImportSource source = interchange::readParadoxDirectory(folder(), {});
    ASSERT_EQ(source.tables.size(), 2u);
    EXPECT_EQ(source.tables[0].tableName, "Dat.DB");
    EXPECT_EQ(source.tables[0].records.size(), 2u);
    EXPECT_EQ(source.tables[1].tableName, "Zaloha.DB");
    EXPECT_TRUE(source.tables[1].records.empty());
}

// Numbers are decoded as the format stores them: negative, zero and empty
// ones stay apart.
TEST_F(ParadoxRead, NegativeZeroAndEmptyNumbers)
{
    Table weights;
    weights.fields = {{"Jméno", pxfAlpha, 40}, {"Datum", pxfDate, 4}, {"Výška", pxfShort, 2},
                      {"Váha", pxfLong, 4}, {"Kategorie", pxfAlpha, 30}};
    weights.rows = {{u("A"), u("1.2.2003"), u("-172"), u("-64"), QString()},
                    {u("B"), QString(), QString(), QString(), QString()},
                    {u("C"), u("31.12.1899"), u("32767"), u("2147483647"), QString()}};
    paradox_fixture::write(folder(), "Data.DB", weights);
    const interchange::TableSource w = read("Data.DB");
    ASSERT_EQ(w.records.size(), 3u);
    EXPECT_EQ(w.records[0].fields, (std::vector<QString>{u("A"), u("1.2.2003"), u("-172"), u("-64"), QString()}));
    EXPECT_EQ(w.records[1].fields, (std::vector<QString>{u("B"), QString(), QString(), QString(), QString()}));
    EXPECT_EQ(w.records[2].fields, (std::vector<QString>{u("C"), u("31.12.1899"), u("32767"), u("2147483647"), QString()}));
}

struct Patch {
    const char* what;
    std::function<void(QByteArray&)> apply;
    const char* reason; // in the Czech reason the table is skipped for
};

// Crafted headers are refused before pxlib opens the file, with a Czech reason:
// a field length pxlib would copy into a fixed-size local, a block chain that
// loops, a block claiming more records than it holds, names that do not end.
TEST_F(ParadoxRead, CraftedHeadersAreRefused)
{
    Table weights;
    weights.fields = {{"Jméno", pxfAlpha, 40}, {"Datum", pxfDate, 4}, {"Výška", pxfShort, 2},
                      {"Váha", pxfLong, 4}, {"BMI", pxfNumber, 8}};
    for (int i = 0; i < 400; ++i)
        weights.rows.push_back({QStringLiteral("Jana %1").arg(i), u("1.2.2003"), u("172"), u("64"), u("21.5")});
    paradox_fixture::write(folder(), "Data.DB", weights);
    QFile file(m_dir.filePath(QStringLiteral("Data.DB")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    file.close();
    const auto le16 = [](const QByteArray& b, int at) {
        return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
    };
    const int headerSize = le16(original, 2);
    const int blockSize = static_cast<unsigned char>(original[5]) * 1024;
    ASSERT_GT(original.size(), headerSize + 2 * blockSize) << "the table needs two blocks";
    const auto put16 = [](QByteArray& b, int at, int value) {
        b[at] = static_cast<char>(value & 0xFF);
        b[at + 1] = static_cast<char>(value >> 8);
    };
    const std::vector<Patch> patches = {
        {"a number 40 bytes long",
         [&](QByteArray& b) {
             b[0x78 + 4 * 2 + 1] = 40;
             put16(b, 0, le16(b, 0) + 32);
         },
         "pole 5 má neplatný druh 6 nebo délku 40"},
        {"a chain that loops", [&](QByteArray& b) { put16(b, headerSize + blockSize, 1); },
         "řetěz datových bloků se vrací do bloku 1"},
        {"a block of too many records", [&](QByteArray& b) { put16(b, headerSize + 4, 0xFFF0); },
         "datový blok 1 udává víc záznamů"},
        {"field names without an end",
         [&](QByteArray& b) {
             // After the field list, the name pointers and the table's name come the field names.
             for (int i = 0x78 + 5 * 2 + 4 + 5 * 4 + 79; i < headerSize; ++i)
                 b[i] = 'x';
         },
         "názvy polí nebo tabulky nejsou ukončené"},
        {"no fields", [&](QByteArray& b) { put16(b, 0x21, 0); }, "neplatný počet polí 0"},
        {"too many fields", [&](QByteArray& b) { put16(b, 0x21, 300); }, "neplatný počet polí 300"},
        {"a header too short for its fields", [&](QByteArray& b) { put16(b, 2, 0x90); },
         "popis polí se nevejde do záhlaví (144 bajtů)"},
        {"a record size beyond a block", [&](QByteArray& b) { put16(b, 0, 0xFFFF); }, "velikost záznamu 65535"},
        {"an index file", [&](QByteArray& b) { b[4] = 1; }, "druh souboru 1 není tabulka"},
    };
    for (const Patch& patch : patches) {
        SCOPED_TRACE(patch.what);
        QByteArray bytes = original;
        patch.apply(bytes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const interchange::TableSource table = read("Data.DB");
        EXPECT_TRUE(table.skipped);
        EXPECT_TRUE(table.skipReason.startsWith(u("soubor není tabulka Paradox, nebo je poškozený (")))
            << table.skipReason.toStdString();
        EXPECT_TRUE(table.skipReason.contains(u(patch.reason))) << table.skipReason.toStdString();
    }
}

} // namespace
