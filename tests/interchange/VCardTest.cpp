// The vCard reader on cards of the three versions as phones and address
// books write them, its errors, and the writer's cards read back.

#include "TestSupport.h"

#include "interchange/TextCodec.h"
#include "interchange/VCard.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using interchange::readVCards;
using interchange::SourceRecord;

std::vector<QString> fields(const char* surname, const char* first, const char* address, const char* phone,
                            const char* note)
{
    return {QString::fromUtf8(surname), QString::fromUtf8(first), QString::fromUtf8(address),
            QString::fromUtf8(phone), QString::fromUtf8(note)};
}

struct CardCase {
    const char* name;
    QByteArray bytes;
    std::vector<QString> expected;
};

class VCardVersions : public testing::TestWithParam<CardCase> {};

// One card as each version writes it must land in the same five fields.
TEST_P(VCardVersions, CardLandsInTheAddressFields)
{
    const interchange::VCardRead read = readVCards(GetParam().bytes);
    ASSERT_TRUE(read.problems.empty()) << read.problems.front().message.toStdString();
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields, GetParam().expected);
    EXPECT_EQ(read.records[0].location, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VCardVersions,
    testing::Values(
        CardCase{"v40",
                 "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Jan Novák\r\nN:Novák;Jan;;;\r\n"
                 "ADR;TYPE=home:;;Dlouhá 5;Praha 1;;110 00;\r\nTEL;TYPE=cell;VALUE=uri:tel:+420-777-123-456\r\n"
                 "TEL;TYPE=home:212 345 678\r\nEMAIL:jan@example.cz\r\nBDAY:19800102\r\n"
                 "NOTE:Soused\\, ze třetího patra\r\nEND:VCARD\r\n",
                 fields("Novák", "Jan", "Dlouhá 5, 110 00 Praha 1", "+420-777-123-456, 212 345 678",
                        "Soused, ze třetího patra; E-mail: jan@example.cz; Narozeniny: 2.1.1980")},
        CardCase{"v30_folded",
                 "BEGIN:VCARD\nVERSION:3.0\nN:Dvořáková;Marie;;Ing.;\nFN:Ing. Marie Dvořáková\n"
                 "ORG:Stavby Kladno\nADR;TYPE=WORK:;;Kladenská 1;Kladno;;272 01;Česká republika\n"
                 "NOTE:Dlouhá poznámka\n  přes dva řádky\nTEL;TYPE=WORK,VOICE:312 111 222\nEND:VCARD\n",
                 fields("Dvořáková", "Ing. Marie", "Kladenská 1, 272 01 Kladno, Česká republika", "312 111 222",
                        "Dlouhá poznámka přes dva řádky; Firma: Stavby Kladno")},
        CardCase{"v21_quoted_printable_cp1250",
                 "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=windows-1250;ENCODING=QUOTED-PRINTABLE:=8Elu=9Dou=E8k=FD;"
                 "=8At=ECp=E1n\r\nTEL;CELL;PREF:603111222\r\nTEL;HOME:\r\n"
                 "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:P=C5=99=C3=ADli=C5=A1 dlouh=C3=A1 pozn=\r\n"
                 "=C3=A1mka\r\nEND:VCARD\r\n",
                 fields("Žluťoučký", "Štěpán", "", "603111222", "Příliš dlouhá poznámka")},
        CardCase{"v30_firm_only_org",
                 "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;;;;\r\nFN:Pekárna U Lípy s.r.o.\r\nORG:Pekárna U Lípy s.r.o.\r\n"
                 "TEL:321 654 987\r\nEND:VCARD\r\n",
                 fields("Pekárna U Lípy s.r.o.", "", "", "321 654 987", "")}),
    [](const testing::TestParamInfo<CardCase>& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    QByteArray bytes;
    int location;       // the card's line
    const char* phrase; // part of the message
};

class VCardErrors : public testing::TestWithParam<BadCase> {};

// A broken card is reported with its line and kept out; the good one next to it is read.
TEST_P(VCardErrors, BadCardIsNamedAndTheGoodOneRead)
{
    const QByteArray good = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Dobrý;Petr\r\nEND:VCARD\r\n";
    const interchange::VCardRead read = readVCards(GetParam().bytes + good);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].location, GetParam().location);
    EXPECT_TRUE(read.problems[0].message.contains(QString::fromUtf8(GetParam().phrase)))
        << read.problems[0].message.toStdString();
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[0], QStringLiteral("Dobrý"));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, VCardErrors,
    testing::Values(
        BadCase{"broken_folding", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Novák;Jan\r\nNOTE:začátek\r\npokračování\r\nEND:VCARD\r\n",
                1, "Řádek 5: řádek nemá tvar vlastnosti"},
        BadCase{"unknown_charset", "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=x-klingon:Novák\r\nEND:VCARD\r\n", 1,
                "neznámé kódování znaků „x-klingon“"},
        BadCase{"bad_quoted_printable",
                "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:Nov=ZZk\r\nEND:VCARD\r\n", 1,
                "Řádek 3: chybný zápis quoted-printable"},
        BadCase{"no_end", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Novák;Jan\r\n", 1, "nemá konec"},
        BadCase{"no_name", "BEGIN:VCARD\r\nVERSION:4.0\r\nTEL:123\r\nEND:VCARD\r\n", 1, "nemá jméno"},
        BadCase{"version", "BEGIN:VCARD\r\nVERSION:5.0\r\nFN:X\r\nEND:VCARD\r\n", 1, "verze vCard „5.0“"}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

// A card with a BEGIN but no END before the next BEGIN is reported, the next one read.
TEST(VCardReader, MissingEndBeforeNextCard)
{
    const interchange::VCardRead read =
        readVCards("BEGIN:VCARD\nN:Prvni\nBEGIN:VCARD\nN:Druhý\nEND:VCARD\n");
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].location, 1);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[0], QStringLiteral("Druhý"));
    EXPECT_EQ(read.records[0].location, 3);
}

// A file of Windows-1250 bytes without a CHARSET still reads as Czech, and says so.
TEST(VCardReader, UndeclaredWindows1250)
{
    const QByteArray bytes = interchange::encode(
        QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Šťastný;Řehoř\r\nEND:VCARD\r\n"), "windows-1250");
    const interchange::VCardRead read = readVCards(bytes);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[0], QStringLiteral("Šťastný"));
    EXPECT_EQ(read.records[0].fields[1], QStringLiteral("Řehoř"));
    EXPECT_EQ(read.notes, QStringList{QStringLiteral("Soubor není v kódování UTF-8; čte se jako Windows-1250.")});
}

// A UTF-8 file with one broken byte is still UTF-8: the card with the byte is
// reported with its line, the other cards keep their letters (they were
// re-read as Windows-1250 into "ÄŚernĂ˝").
TEST(VCardReader, DamagedUtf8IsReportedNotReDecoded)
{
    QByteArray bytes;
    for (int i = 0; i < 10; ++i)
        bytes += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Černý;Jiří " + QByteArray::number(i) + "\r\nEND:VCARD\r\n";
    bytes.replace("Jiří 7", "Ji\xF8í 7");
    const interchange::VCardRead read = readVCards(bytes);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].location, 29);
    EXPECT_EQ(read.problems[0].message,
              QString::fromUtf8("Řádek 31: vlastnost N obsahuje bajt 0xF8, který v textu UTF-8 nemůže být; soubor je na "
                                "tomto místě poškozený"));
    ASSERT_EQ(read.records.size(), 9u);
    for (const SourceRecord& record : read.records)
        EXPECT_EQ(record.fields[0], QStringLiteral("Černý"));
    EXPECT_TRUE(read.notes.isEmpty());
}

// Control characters never reach a field: a surname of one NUL, ESC or BEL
// leaves a card without a name; inside a text they are left out and said.
TEST(VCardReader, ControlCharactersAreLeftOutAndSaid)
{
    for (const char control : {'\0', '\x1B', '\x07'}) {
        SCOPED_TRACE(int(control));
        QByteArray bytes = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:X;;;;\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nN:No_vák;Petr\r\nNOTE:a_b\r\nEND:VCARD\r\n";
        bytes.replace('X', control).replace('_', control);
        const interchange::VCardRead read = readVCards(bytes);
        ASSERT_EQ(read.problems.size(), 1u);
        EXPECT_TRUE(read.problems[0].message.contains(QString::fromUtf8("nemá jméno")));
        ASSERT_EQ(read.records.size(), 1u);
        EXPECT_EQ(read.records[0].fields[0], QStringLiteral("Novák"));
        EXPECT_EQ(read.records[0].fields[4], QStringLiteral("ab"));
        EXPECT_EQ(read.records[0].warnings,
                  (QStringList{QString::fromUtf8("vlastnost N na řádku 7 obsahovala řídicí znaky; vynechaly se"),
                               QString::fromUtf8("vlastnost NOTE na řádku 8 obsahovala řídicí znaky; vynechaly se")}));
    }
}

// An ASCII file from an old phone with quoted-printable values in its code
// page and no CHARSET: read, with a warning naming the code page taken.
TEST(VCardReader, UndeclaredQuotedPrintableCodePageIsSaid)
{
    const interchange::VCardRead read =
        readVCards("BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:=8Alechta\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[0], QStringLiteral("Šlechta"));
    EXPECT_EQ(read.records[0].warnings,
              QStringList{QString::fromUtf8("vlastnost N na řádku 3 neudává kódování; přečtena jako Windows-1250")});
}

// Telephones that do not fit the field go to the note, never away.
TEST(VCardReader, OverflowingPhonesGoToTheNote)
{
    const interchange::VCardRead read = readVCards(
        "BEGIN:VCARD\nVERSION:3.0\nN:Novák;Jan\nTEL:+420 777 111 111\nTEL:+420 777 222 222\n"
        "TEL:+420 777 333 333\nEND:VCARD\n");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[3], QStringLiteral("+420 777 111 111"));
    EXPECT_EQ(read.records[0].fields[4], QStringLiteral("Další telefony: +420 777 222 222, +420 777 333 333"));
}

// What the writer writes reads back to the same fields, folding and escapes included.
TEST(VCardWriter, RoundTrip)
{
    const std::vector<std::vector<QString>> table = {
        fields("Novák", "Jan", "Dlouhá 5, 110 00 Praha 1", "777 123 456, 212 345 678", "Soused; klíče u něj"),
        fields("Stavby Kladno s.r.o.", "", "Kladno", "312 111 222", ""),
        fields("Ďáblová", "Žofie", "", "", QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy, a to velmi dlouho")
                                                  .toUtf8()
                                                  .constData()),
        fields("O'Brien, Jr.", "Seán", "Na Příkopě 1\\2", "+420,123", "čárka, středník; zpětné \\ lomítko"),
        fields("Kovář", "", "", "", ""),
    };
    QByteArray file;
    for (const auto& record : table)
        file += interchange::writeVCard(record);
    for (const QByteArray& line : file.split('\n'))
        EXPECT_LE(line.size(), 76) << line.constData();
    const interchange::VCardRead read = readVCards(file);
    ASSERT_TRUE(read.problems.empty()) << read.problems.front().message.toStdString();
    ASSERT_EQ(read.records.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(read.records[i].fields, table[i]) << i;
}

struct WrittenCard {
    std::vector<const char16_t*> fields;
    const char* bytes;
};

// The exact bytes of cards at the edges of the writer's rules: lines folded
// at 75 bytes beside two- and four-byte letters and escapes, names with
// blanks at their ends, firms, address lines that split and lines that must
// not, telephone lists that are plain and lists that are not, half a
// surrogate pair, no fields at all. The export writes a million cards with
// these rules straight into its buffer; a byte out of place here is a
// changed file for every user's export.
TEST(VCardWriter, WritesTheExactBytes)
{
    const std::vector<WrittenCard> table = {
        {{u"Novák", u"Jan", u"Dlouhá 5, 110 00 Praha 1", u"777 123 456, 212 345 678", u"Soused; klíče, \\ u něj\nzvonit"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Jan Novák\r\n"
         "N:Novák;Jan;;;\r\n"
         "ADR:;;Dlouhá 5;Praha 1;;110 00;\r\n"
         "TEL;VALUE=text:777 123 456\r\n"
         "TEL;VALUE=text:212 345 678\r\n"
         "NOTE:Soused; klíče\\, \\\\ u něj\\nzvonit\r\n"
         "END:VCARD\r\n"},
        {{u"Stavby Kladno s.r.o.", u"", u"Kladno", u"312 111 222", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "KIND:org\r\n"
         "FN:Stavby Kladno s.r.o.\r\n"
         "ORG:Stavby Kladno s.r.o.\r\n"
         "ADR:;;Kladno;;;;\r\n"
         "TEL;VALUE=text:312 111 222\r\n"
         "END:VCARD\r\n"},
        {{u"Firma XY", u"  ", u"", u"", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "KIND:org\r\n"
         "FN:Firma XY\r\n"
         "ORG:Firma XY\r\n"
         "END:VCARD\r\n"},
        {{u" Novák ", u" Jan ", u"", u"777 ", u"a\r\nb"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Jan Novák\r\n"
         "N: Novák ; Jan ;;;\r\n"
         "TEL;VALUE=text:777 \r\n"
         "NOTE:a\\nb\r\n"
         "END:VCARD\r\n"},
        {{u"Ďáblová", u"Žofie", u"", u"", u"žžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Žofie Ďáblová\r\n"
         "N:Ďáblová;Žofie;;;\r\n"
         "NOTE:žžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž\r\n"
         " žžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž\r\n"
         " žžžžžžžžžžžž\r\n"
         "END:VCARD\r\n"},
        {{u"Ďáblová", u"Žofie", u"", u"", u"ažžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Žofie Ďáblová\r\n"
         "N:Ďáblová;Žofie;;;\r\n"
         "NOTE:ažžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž\r\n"
         " žžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž\r\n"
         " žžžžžžžžžžžžžž\r\n"
         "END:VCARD\r\n"},
        {{u"Ďáblová", u"Žofie", u"", u"", u"aažžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Žofie Ďáblová\r\n"
         "N:Ďáblová;Žofie;;;\r\n"
         "NOTE:aažžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž\r\n"
         " žžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžžž\r\n"
         " žžžžžžžžžžžžžž\r\n"
         "END:VCARD\r\n"},
        {{u"Čárka", u"", u"", u"", u",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Čárka\r\n"
         "N:Čárka;;;;\r\n"
         "NOTE:\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\r\n"
         " \\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\r\n"
         " \\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\\,\r\n"
         "END:VCARD\r\n"},
        {{u"Smajlík", u"", u"", u"", u"x😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Smajlík\r\n"
         "N:Smajlík;;;;\r\n"
         "NOTE:x😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀\r\n"
         " 😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀\r\n"
         " 😀😀😀😀😀\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"Dlouhá  5, 110 00 Praha", u", 123", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;;Dlouhá  5\\, 110 00 Praha;;;;\r\n"
         "TEL;VALUE=text:\\, 123\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"Dlouhá 5, 11000 Praha 1", u"777 , 888", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;;Dlouhá 5;Praha 1;;11000;\r\n"
         "TEL;VALUE=text:777 \\, 888\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"110 00 Praha 1", u"1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;;;Praha 1;;110 00;\r\n"
         "TEL;VALUE=text:1\\, 2\\, 3\\, 4\\, 5\\, 6\\, 7\\, 8\\, 9\\, 10\\, 11\\, 12\\, 13\\, 14\\,\r\n"
         "  15\\, 16\\, 17\\, 18\\, 19\\, 20\\, 21\\, 22\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"Na Příkopě 1, 2, 110 00 Praha", u"", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;;Na Příkopě 1\\, 2;Praha;;110 00;\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u" Dlouhá 5, 110 00 Praha", u"", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;; Dlouhá 5\\, 110 00 Praha;;;;\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"Dlouhá 5\u00A0, 110 00 Praha", u"", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;;Dlouhá 5 \\, 110 00 Praha;;;;\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"Dlouhá 5, 110 00 Praha\u00A0", u"", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;;Dlouhá 5\\, 110 00 Praha ;;;;\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"Dlouhá;5, 110 00 Pra,ha", u"1;2", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "ADR:;;Dlouhá\\;5;Pra\\,ha;;110 00;\r\n"
         "TEL;VALUE=text:1;2\r\n"
         "END:VCARD\r\n"},
        {{u"Dlouhé příjmení s mnoha písmeny, které se nevejde na jeden řádek vizitky", u"Jméno", u"", u"", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:Jméno Dlouhé příjmení s mnoha písmeny\\, které se nevejde na jeden\r\n"
         "  řádek vizitky\r\n"
         "N:Dlouhé příjmení s mnoha písmeny\\, které se nevejde na jeden řádek\r\n"
         "  vizitky;Jméno;;;\r\n"
         "END:VCARD\r\n"},
        {{u"", u"", u"", u"", u""},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:\r\n"
         "N:;;;;\r\n"
         "END:VCARD\r\n"},
        {{u"A", u"B", u"", u"", u"x\xD800y\xDC00z"},
         "BEGIN:VCARD\r\n"
         "VERSION:4.0\r\n"
         "FN:B A\r\n"
         "N:A;B;;;\r\n"
         "NOTE:x?y?z\r\n"
         "END:VCARD\r\n"},
    };
    QByteArray all;
    for (const WrittenCard& card : table) {
        std::vector<QString> fields;
        for (const char16_t* field : card.fields)
            fields.push_back(QString::fromUtf16(field));
        EXPECT_EQ(interchange::writeVCard(fields), QByteArray(card.bytes)) << card.bytes;
        interchange::appendVCard(all, fields);
    }
    // Appended one after another, the cards are the same bytes.
    QByteArray expected;
    for (const WrittenCard& card : table)
        expected += card.bytes;
    EXPECT_EQ(all, expected);
}

} // namespace

namespace {

// Cards in a file larger than the reader's pieces: lines and UTF-8 letters
// cut between two pieces read whole, in UTF-8 and in UTF-16.
TEST(VCardStream, PiecesJoinAcrossTheirEnds)
{
    QByteArray file;
    for (int i = 0; i < 30000; ++i)
        file += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Černý;Jiří " + QByteArray::number(i) + "\r\nNOTE:ďábelské ódy\r\n"
                "END:VCARD\r\n";
    ASSERT_GT(file.size(), 2 << 20);
    const QString text = QString::fromUtf8(file);
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    for (const QByteArray& bytes : {file, utf16}) {
        const interchange::VCardRead read = readVCards(bytes);
        ASSERT_TRUE(read.problems.empty()) << read.problems.front().message.toStdString();
        ASSERT_EQ(read.records.size(), 30000u);
        for (std::size_t i = 0; i < read.records.size(); ++i) {
            ASSERT_EQ(read.records[i].fields[1], QStringLiteral("Jiří %1").arg(i));
            ASSERT_EQ(read.records[i].fields[4], QStringLiteral("ďábelské ódy"));
            ASSERT_EQ(read.records[i].location, int(5 * i + 1));
        }
    }
}

// The encoding scan in pieces counts as the scan of the whole, wherever the
// pieces are cut, a sequence the text ends inside included.
TEST(VCardStream, ScanInPiecesIsTheScanOfTheWhole)
{
    for (const QByteArray& text : {QByteArray("Žluťoučký kůň \xF0\x9F\x90\xB4 \x9A\xE8"), QByteArray("ab\xE2\x82")}) {
        const interchange::Utf8Scan whole = interchange::scanUtf8(text);
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            interchange::Utf8Scanner scanner;
            scanner.feed(QByteArrayView(text).first(cut));
            scanner.feed(QByteArrayView(text).sliced(cut));
            const interchange::Utf8Scan pieces = scanner.finish();
            EXPECT_EQ(pieces.validMultiByte, whole.validMultiByte) << cut;
            EXPECT_EQ(pieces.invalid, whole.invalid) << cut;
            EXPECT_EQ(pieces.firstInvalid, whole.firstInvalid) << cut;
        }
    }
}

// What a hostile file may cost is bounded: a run of junk lines is one
// problem (14 MB of them took 2.5 GB as one problem a line), a line or a
// card past its limit is its card's problem, a photo of any size is left
// out, and past a thousand problems the file is not read further.
TEST(VCardStream, HostileFilesCostLittle)
{
    QByteArray junk = "BEGIN:VCARD\nN:Novák\nEND:VCARD\n";
    for (int i = 0; i < 500000; ++i)
        junk += "x\n";
    junk += "BEGIN:VCARD\nN:Dvořák\nEND:VCARD\n";
    interchange::VCardRead read = readVCards(junk);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].location, 4);
    EXPECT_EQ(read.problems[0].message,
              QString::fromUtf8("Řádky 4–500003: text mimo vizitku (chybí BEGIN:VCARD)"));
    EXPECT_EQ(read.records.size(), 2u);

    const QByteArray huge(9 << 20, 'A');
    read = readVCards("BEGIN:VCARD\nN:Novák\nNOTE:" + huge + "\nEND:VCARD\n"
                      "BEGIN:VCARD\nN:Fotka\nPHOTO;ENCODING=b:" + huge + "\n " + huge + "\nEND:VCARD\n");
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].message, QString::fromUtf8("Řádek 3: řádek je delší než 8 MB"));
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[0], QStringLiteral("Fotka"));
    EXPECT_EQ(read.records[0].warnings, QStringList{QString::fromUtf8("Fotografie se nepřenáší.")});

    QByteArray nameless;
    for (int i = 0; i < 1500; ++i)
        nameless += "BEGIN:VCARD\nTEL:1\nEND:VCARD\n";
    nameless += "BEGIN:VCARD\nN:Novák\nEND:VCARD\n";
    read = readVCards(nameless);
    ASSERT_EQ(read.problems.size(), 1000u);
    EXPECT_EQ(read.problems.back().message,
              QString::fromUtf8("Řádek 3000: v souboru je přes 1000 chyb, zřejmě nejde o soubor vCard; dál se nečetlo"));
    EXPECT_TRUE(read.records.empty());
}

} // namespace
