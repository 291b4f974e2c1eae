// The card of a contact and the record of the address table: what maps,
// what stays on the card, what an edit here rewrites.

#include "sync/ContactCard.h"

#include <gtest/gtest.h>

using namespace davsync;

namespace {

const QByteArray kPhoneCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Phone//EN\r\nUID:abc-1\r\n"
                              "N:Nováková;Eva;;;\r\nFN:Eva Nováková\r\nORG:Nemocnice Motol\r\n"
                              "TEL;TYPE=CELL:777 123 456\r\nTEL;TYPE=WORK:224 111 222\r\nTEL;TYPE=HOME:220 333 444\r\n"
                              "EMAIL;TYPE=INTERNET:eva@example.org\r\nADR;TYPE=WORK:;;V Úvalu 84;Praha 5;;150 06;\r\n"
                              "ADR;TYPE=HOME:;;Dlouhá 5;Praha 1;;110 00;\r\nBDAY:1980-05-05\r\n"
                              "PHOTO;ENCODING=b;TYPE=JPEG:AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJw==\r\n"
                              "NOTE:sestřenice\r\nX-PHONE-ONLY:ano\r\nEND:VCARD\r\n";

TEST(ContactCard, mapsWhatTheTableHoldsAndKeepsTheRestOnTheCard)
{
    QString error;
    const std::optional<MappedCard> card = mapCard(kPhoneCard, &error);
    ASSERT_TRUE(card) << error.toStdString();
    EXPECT_EQ(card->uid, QStringLiteral("abc-1"));
    // The firm a person works for stays on the card, not in the note; as
    // many telephones as the field's 30 characters take.
    EXPECT_EQ(card->fields, (std::vector<QString>{"Nováková", "Eva", "V Úvalu 84, 150 06 Praha 5",
                                                  "777 123 456, 224 111 222", "sestřenice"}));
}

TEST(ContactCard, anEditRewritesOnlyTheChangedFieldsLines)
{
    const std::vector<QString> asSynced = mapCard(kPhoneCard, nullptr)->fields;
    struct Case {
        const char* name;
        int field;
        QString value;
        std::vector<QByteArray> gone;
        std::vector<QByteArray> added;
    };
    const std::vector<Case> cases = {
        {"note", 4, QStringLiteral("teta"), {"NOTE:sestřenice"}, {"NOTE:teta"}},
        {"phone", 3, QStringLiteral("606 000 000"),
         {"TEL;TYPE=CELL:777 123 456", "TEL;TYPE=WORK:224 111 222"}, {"TEL:606 000 000"}},
        {"address", 2, QStringLiteral("Nová 1, 602 00 Brno"), {"V Úvalu 84"}, {"ADR:;;Nová 1;Brno;;602 00;"}},
        {"surname", 0, QStringLiteral("Dvořáková"), {"N:Nováková;Eva;;;", "FN:Eva Nováková"},
         {"N:Dvořáková;Eva;;;", "FN:Eva Dvořáková"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<QString> fields = asSynced;
        fields[static_cast<std::size_t>(c.field)] = c.value;
        const QByteArray card = writeCard(fields, QStringLiteral("ignored"), kPhoneCard, asSynced[0]);
        for (const QByteArray& line : c.gone)
            EXPECT_FALSE(card.contains(line)) << line.toStdString();
        for (const QByteArray& line : c.added)
            EXPECT_TRUE(card.contains(line)) << line.toStdString() << "\n" << card.toStdString();
        // Everything the table has no field for is there byte for byte.
        for (const char* kept : {"UID:abc-1", "PRODID:-//Phone//EN", "ORG:Nemocnice Motol", "TEL;TYPE=HOME:220 333 444",
                                 "EMAIL;TYPE=INTERNET:eva@example.org", "ADR;TYPE=HOME:;;Dlouhá 5;Praha 1;;110 00;",
                                 "BDAY:1980-05-05", "X-PHONE-ONLY:ano", "PHOTO;ENCODING=b;TYPE=JPEG:AAECAw"})
            EXPECT_TRUE(card.contains(kept)) << kept;
        // The card reads back as the record; a number that had no room in
        // the field before comes into it now rather than be dropped.
        std::vector<QString> expected = fields;
        if (c.field == 3)
            expected[3] += QStringLiteral(", 220 333 444");
        EXPECT_EQ(mapCard(card, nullptr)->fields, expected);
    }
}

TEST(ContactCard, aNewCardReadsBackAsTheRecordItCameFrom)
{
    const std::vector<std::vector<QString>> records = {
        {"Dvořák", "Antonín", "Nelahozeves 12, 277 51 Nelahozeves", "602 111 222, 777 000 111", "skladatel; Praha"},
        {"Stavby s.r.o.", "", "", "212 345 678", ""},
        {"Čížek (2)", "", "", "", "jen poznámka, s čárkou"},
    };
    for (const auto& record : records) {
        const QByteArray card = writeCard(record, QStringLiteral("uid-7"));
        const std::optional<MappedCard> back = mapCard(card, nullptr);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->fields, record);
        EXPECT_EQ(back->uid, QStringLiteral("uid-7"));
    }
}

TEST(ContactCard, longValuesAreCutToTheFieldsAndACardWithoutANameIsRefused)
{
    const QByteArray longNote = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Malá;Ema;;;\r\nNOTE:" + QByteArray(200, 'x') +
                                "\r\nEND:VCARD\r\n";
    EXPECT_EQ(mapCard(longNote, nullptr)->fields[4].size(), 80);
    QString error;
    EXPECT_FALSE(mapCard("BEGIN:VCARD\r\nVERSION:4.0\r\nEMAIL:x@y.cz\r\nEND:VCARD\r\n", &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
