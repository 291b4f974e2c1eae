// Writing: every feature the editor and the notes can give a document comes
// back unchanged when the written RTF is read again, and the file itself is
// Windows-1250 RTF that other programs read.

#include "RichTextSupport.h"

#include "richtext/Pictures.h"
#include "richtext/Rtf.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

#include <functional>

namespace {

using richtext_test::describe;

QTextCharFormat charFormat(std::function<void(QTextCharFormat&)> set)
{
    QTextCharFormat format;
    set(format);
    return format;
}

struct RoundTripCase {
    const char* name;
    std::function<void(QTextCursor&)> build;
};

class RtfRoundTrip : public ::testing::TestWithParam<RoundTripCase> {
protected:
    void SetUp() override { richtext_test::ensureApplication(); }
};

TEST_P(RtfRoundTrip, ReadsBackWhatWasWritten)
{
    QTextDocument original;
    QTextCursor cursor(&original);
    GetParam().build(cursor);
    const QByteArray rtf = richtext::writeRtf(original);
    QTextDocument read;
    richtext::readRtf(rtf, read);
    EXPECT_EQ(describe(read), describe(original)) << rtf.toStdString();
    // Written twice, the same bytes: nothing drifts from one save to the next.
    EXPECT_EQ(richtext::writeRtf(read), rtf);
}

const RoundTripCase kRoundTripCases[] = {
    {"czech_letters",
     [](QTextCursor& c) {
         c.insertText(QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy. PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ "
                                     "ÚPĚL ĎÁBELSKÉ ÓDY. Ťe Ňe Ďe Ěe Ůe"));
     }},
    {"outside_the_code_page",
     [](QTextCursor& c) { c.insertText(QStringLiteral("€ → ∞ 日本 \U0001F600 Ω « »")); }},
    {"rtf_specials_in_text",
     [](QTextCursor& c) { c.insertText(QStringLiteral("a\\b{c}d\\par e;f\tg \u00A0h\u00ADi\u2011j")); }},
    {"paragraphs_empty_ones_and_line_breaks",
     [](QTextCursor& c) {
         c.insertText(QStringLiteral("first"));
         c.insertBlock();
         c.insertBlock();
         c.insertText(QStringLiteral("third\u2028same paragraph"));
         c.insertBlock();
     }},
    {"character_formatting",
     [](QTextCursor& c) {
         c.insertText(QStringLiteral("plain "));
         c.insertText(QStringLiteral("bold "), charFormat([](auto& f) { f.setFontWeight(QFont::Bold); }));
         c.insertText(QStringLiteral("italic "), charFormat([](auto& f) { f.setFontItalic(true); }));
         c.insertText(QStringLiteral("under "), charFormat([](auto& f) { f.setFontUnderline(true); }));
         c.insertText(QStringLiteral("struck "), charFormat([](auto& f) { f.setFontStrikeOut(true); }));
         c.insertText(QStringLiteral("all "), charFormat([](auto& f) {
                          f.setFontWeight(QFont::Bold);
                          f.setFontItalic(true);
                          f.setFontUnderline(true);
                      }));
         c.insertText(QStringLiteral("courier 14 "), charFormat([](auto& f) {
                          f.setFontFamilies({QStringLiteral("Liberation Mono")});
                          f.setFontPointSize(14);
                      }));
         c.insertText(QStringLiteral("half 10.5 "), charFormat([](auto& f) { f.setFontPointSize(10.5); }));
         c.insertText(QStringLiteral("red on yellow "), charFormat([](auto& f) {
                          f.setForeground(QColor(200, 0, 0));
                          f.setBackground(QColor(255, 255, 0));
                      }));
         c.insertText(QStringLiteral("2"), charFormat([](auto& f) {
                          f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
                      }));
         c.insertText(QStringLiteral("x"), charFormat([](auto& f) {
                          f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
                      }));
     }},
    {"alignment_and_indents",
     [](QTextCursor& c) {
         const std::pair<Qt::Alignment, const char*> alignments[] = {
             {Qt::AlignLeft, "left"}, {Qt::AlignRight, "right"},
             {Qt::AlignHCenter, "centre"}, {Qt::AlignJustify, "justified"}};
         bool firstBlock = true;
         int indent = 0;
         for (const auto& [alignment, text] : alignments) {
             QTextBlockFormat format;
             format.setAlignment(alignment);
             format.setLeftMargin(indent);
             format.setTextIndent(indent > 0 ? -indent / 2 : 12);
             format.setRightMargin(indent / 3);
             if (firstBlock)
                 c.setBlockFormat(format);
             else
                 c.insertBlock(format);
             firstBlock = false;
             c.insertText(QString::fromLatin1(text));
             indent += 48;
         }
     }},
    {"bullets_and_numbers",
     [](QTextCursor& c) {
         c.insertText(QStringLiteral("before"));
         c.insertBlock();
         QTextListFormat bullets;
         bullets.setStyle(QTextListFormat::ListDisc);
         bullets.setIndent(1);
         c.createList(bullets);
         c.insertText(QStringLiteral("bullet one"));
         c.insertBlock();
         c.insertText(QStringLiteral("bullet two"));
         c.insertBlock(QTextBlockFormat());
         c.insertText(QStringLiteral("between"));
         c.insertBlock();
         QTextListFormat numbers;
         numbers.setStyle(QTextListFormat::ListDecimal);
         numbers.setIndent(1);
         c.createList(numbers);
         c.insertText(QStringLiteral("number one"));
         c.insertBlock();
         c.insertText(QStringLiteral("number two"));
     }},
    {"pictures",
     [](QTextCursor& c) {
         c.insertText(QStringLiteral("png "));
         richtext::insertPicture(c, richtext_test::pngBytes(5, 7, Qt::blue));
         c.insertText(QStringLiteral(" scaled "));
         richtext::insertPicture(c, richtext_test::pngBytes(20, 10, Qt::red), QSizeF(40, 20));
         c.insertBlock();
         richtext::insertPicture(c, richtext_test::jpegBytes(16, 16));
     }},
    {"formatted_empty_line",
     [](QTextCursor& c) {
         c.insertText(QStringLiteral("x"), charFormat([](auto& f) { f.setFontPointSize(20); }));
         c.insertBlock(QTextBlockFormat(), charFormat([](auto& f) { f.setFontPointSize(20); }));
         c.insertBlock(QTextBlockFormat(), charFormat([](auto& f) { f.setFontPointSize(20); }));
         c.insertText(QStringLiteral("y"), charFormat([](auto& f) { f.setFontPointSize(20); }));
     }},
};

INSTANTIATE_TEST_SUITE_P(Documents, RtfRoundTrip, ::testing::ValuesIn(kRoundTripCases),
                         [](const auto& info) { return std::string(info.param.name); });

class RtfWrite : public ::testing::Test {
protected:
    void SetUp() override { richtext_test::ensureApplication(); }
};

// The file is ASCII, names code page 1250 and Czech fonts, and keeps Czech
// letters as single 1250 bytes, so readers without \u support read them too.
TEST_F(RtfWrite, WritesWindows1250)
{
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor(&document).insertText(QStringLiteral("čŘ€日"));
    const QByteArray rtf = richtext::writeRtf(document);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1250\\deff0"));
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil\\fcharset238 Arial;}"));
    EXPECT_TRUE(rtf.contains("\\'e8\\'d8\\'80\\u26085?")) << rtf.toStdString();
    for (const char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_TRUE(rtf.endsWith("}\r\n"));
}

// A JPEG is written back as the same JPEG bytes, not re-encoded.
TEST_F(RtfWrite, KeepsThePicturesOwnBytes)
{
    const QByteArray jpeg = richtext_test::jpegBytes(9, 9);
    QTextDocument document;
    QTextCursor cursor(&document);
    ASSERT_TRUE(richtext::insertPicture(cursor, jpeg));
    EXPECT_FALSE(richtext::insertPicture(cursor, QByteArray("not a picture")));
    const QByteArray rtf = richtext::writeRtf(document);
    EXPECT_TRUE(rtf.contains("\\jpegblip"));
    EXPECT_TRUE(QByteArray(rtf).replace("\r\n", "").contains(jpeg.toHex()));
}

// Notes are stored as RTF text; the plain characters come out for printing.
TEST_F(RtfWrite, StoredTextAndPlainText)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("první"), charFormat([](auto& f) { f.setFontWeight(QFont::Bold); }));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("druhý"));
    const QString stored = richtext::storedText(document);
    EXPECT_TRUE(stored.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_EQ(richtext::plainText(stored), QStringLiteral("první\ndruhý"));
    EXPECT_EQ(richtext::plainText(QStringLiteral("jen text")), QStringLiteral("jen text"));

    QTextDocument shown;
    richtext::setStoredText(shown, stored);
    EXPECT_EQ(describe(shown), describe(document));
    richtext::setStoredText(shown, QStringLiteral("prostý ř"));
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("prostý ř"));
    EXPECT_EQ(richtext::storedText(QTextDocument()), QString());
}

} // namespace
