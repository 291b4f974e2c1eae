// Reading CSV files: encodings and separators found from the bytes, quoted
// fields, and a clear error naming the line of a damaged file.

#include "interchange/CsvReader.h"

#include <gtest/gtest.h>

namespace {

using interchange::CsvError;
using interchange::TextEncoding;

// Czech text in a Czech 8-bit code page, byte by byte.
QByteArray eightBit(const QString& text, TextEncoding encoding)
{
    // Only the letters the tests use; both code pages share the rest.
    QByteArray bytes;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        const bool iso = encoding == TextEncoding::Iso8859_2;
        switch (u) {
        case u'á': bytes.append('\xE1'); break;
        case u'é': bytes.append('\xE9'); break;
        case u'í': bytes.append('\xED'); break;
        case u'ě': bytes.append('\xEC'); break;
        case u'č': bytes.append('\xE8'); break;
        case u'ř': bytes.append('\xF8'); break;
        case u'ů': bytes.append('\xF9'); break;
        case u'Č': bytes.append('\xC8'); break;
        case u'š': bytes.append(iso ? '\xB9' : '\x9A'); break;
        case u'ž': bytes.append(iso ? '\xBE' : '\x9E'); break;
        case u'Š': bytes.append(iso ? '\xA9' : '\x8A'); break;
        default: ADD_FAILURE() << "no byte for U+" << static_cast<int>(u);
        }
    }
    return bytes;
}

const QString kCzech = QStringLiteral("Místo;PSČ\nŠumperk;787 01\nŽďár;591 01\nČeské Budějovice;370 01\n");
const QString kCzechNoCaron = QStringLiteral("Obec;PSČ\nPříbram;261 01\nHavlíčkův Brod;580 01\nBeroun;266 01\n");

// The same list in every encoding reads as the same text, and the encoding is named.
TEST(CsvReader, FindsTheEncoding)
{
    const QString plain = QStringLiteral("Obec;PSČ\nMěšice;250 64\nPříšovice;463 46\n");
    const struct {
        const char* what;
        QByteArray bytes;
        QString text;
        TextEncoding encoding;
    } cases[] = {
        {"UTF-8", kCzech.toUtf8(), kCzech, TextEncoding::Utf8},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + kCzech.toUtf8(), kCzech, TextEncoding::Utf8},
        {"Windows-1250", eightBit(plain, TextEncoding::Windows1250), plain, TextEncoding::Windows1250},
        {"ISO 8859-2", eightBit(plain, TextEncoding::Iso8859_2), plain, TextEncoding::Iso8859_2},
        // Letters both code pages share: read as the post writes its list.
        {"8-bit without š or ž", eightBit(QStringLiteral("Obec;PSČ\nBeroun;266 01\nČáslav;286 01\n"),
                                          TextEncoding::Windows1250),
         QStringLiteral("Obec;PSČ\nBeroun;266 01\nČáslav;286 01\n"), TextEncoding::Windows1250},
        {"plain ASCII", QByteArrayLiteral("Obec;PSC\nBeroun;26601\n"), QStringLiteral("Obec;PSC\nBeroun;26601\n"),
         TextEncoding::Utf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TextEncoding found = TextEncoding::Iso8859_2;
        EXPECT_EQ(interchange::decodeText(c.bytes, &found), c.text);
        EXPECT_EQ(found, c.encoding);
    }
}

// Bytes that are no text of a known kind are refused, naming the line.
TEST(CsvReader, RefusesBrokenText)
{
    QByteArray brokenUtf8 = kCzech.toUtf8();
    brokenUtf8.insert(brokenUtf8.indexOf("591"), '\xC5'); // a lead byte without its follower, line 3
    QByteArray brokenWithMark = "\xEF\xBB\xBF" + QByteArrayLiteral("Obec;PSC\nA;1\nB\xFF;2\n");
    QByteArray undefined1250 = eightBit(kCzechNoCaron, TextEncoding::Windows1250);
    undefined1250.replace("580", "5\x81" "0"); // 0x81 is no character of Windows-1250, line 3
    const struct {
        const char* what;
        QByteArray bytes;
        int line;
    } cases[] = {
        {"UTF-8 with a broken letter", brokenUtf8, 3},
        {"marked UTF-8 with a bad byte", brokenWithMark, 3},
        {"a byte Windows-1250 does not have", undefined1250, 3},
        {"a control character", QByteArrayLiteral("Obec;PSC\nA;1\n\x01\x02;2\n"), 3},
        {"UTF-16", QByteArrayLiteral("\xFF\xFE" "O\0b\0"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            interchange::readCsv(c.bytes);
            ADD_FAILURE() << "read";
        } catch (const CsvError& error) {
            EXPECT_EQ(error.line(), c.line) << error.what();
            if (c.line > 0) {
                EXPECT_TRUE(error.message().startsWith(QStringLiteral("Řádek %1: ").arg(c.line))) << error.what();
            }
        }
    }
}

// The separator comes from the header; quoted fields keep separators, quotes
// and line breaks; rows know their lines; empty lines are skipped.
TEST(CsvReader, SplitsRows)
{
    const struct {
        const char* what;
        QString text;
        QChar separator;
        QStringList header;
        std::vector<std::pair<int, QStringList>> rows;
    } cases[] = {
        {"semicolons", QStringLiteral("a;b\n1;2\n"), ';', {"a", "b"}, {{2, {"1", "2"}}}},
        {"commas, Windows line ends", QStringLiteral("a,b\r\n1,2\r\n\r\n3,4"), ',', {"a", "b"},
         {{2, {"1", "2"}}, {4, {"3", "4"}}}},
        {"tabs", QStringLiteral("a\tb\n1\t2\n"), '\t', {"a", "b"}, {{2, {"1", "2"}}}},
        {"commas inside quotes do not count", QStringLiteral("\"a,x\";b\n1;2\n"), ';', {"a,x", "b"},
         {{2, {"1", "2"}}}},
        {"quoted fields", QStringLiteral("a;b\n\"Praha; 1\";\"řekl \"\"ne\"\"\"\n\"dva\nřádky\";x\n5;6\n"), ';',
         {"a", "b"}, {{2, {"Praha; 1", "řekl \"ne\""}}, {3, {"dva\nřádky", "x"}}, {5, {"5", "6"}}}},
        {"leading empty lines", QStringLiteral("\n\n  \nmisto;psc\nA;1"), ';', {"misto", "psc"}, {{5, {"A", "1"}}}},
        {"a short last row and blanks around the header", QStringLiteral(" a ; b \n1\n"), ';', {"a", "b"},
         {{2, {"1"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const interchange::CsvDocument document = interchange::readCsv(c.text.toUtf8());
        EXPECT_EQ(document.separator, c.separator);
        EXPECT_EQ(document.header, c.header);
        ASSERT_EQ(document.rows.size(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(document.rows[i].line, c.rows[i].first);
            EXPECT_EQ(document.rows[i].fields, c.rows[i].second);
        }
    }
}

TEST(CsvReader, UnclosedQuoteNamesItsLine)
{
    try {
        interchange::readCsv(QByteArrayLiteral("a;b\n1;2\n\"open;3\n4;5\n"));
        ADD_FAILURE() << "read";
    } catch (const CsvError& error) {
        EXPECT_EQ(error.line(), 3);
    }
    EXPECT_THROW(interchange::readCsv(QByteArrayLiteral("\n \n")), CsvError);
}

// Header names match whatever their case, diacritics and punctuation; each
// column serves one role, the earlier role first.
TEST(CsvReader, MatchesColumnsByName)
{
    EXPECT_EQ(interchange::headerKey(QStringLiteral("Název části obce")), QStringLiteral("nazevcastiobce"));
    EXPECT_EQ(interchange::headerKey(QStringLiteral("P.S.Č.")), QStringLiteral("psc"));
    const QStringList header = {"Kód", "NAZOBCE", "PSČ", "Obec"};
    const std::vector<QStringList> roles = {{"misto", "obec", "nazobce"}, {"psc"}, {"nazobce", "obec"}, {"typ"}};
    EXPECT_EQ(interchange::matchColumns(header, roles), (std::vector<int>{3, 2, 1, -1}));
}

} // namespace
