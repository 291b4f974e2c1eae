// Reading RTF as other programs write it, and as broken or hostile files
// come: each case gives the file and the paragraphs (plain text) it must
// load to, and some check formatting on top.

#include "RichTextSupport.h"

#include "richtext/Rtf.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include <gtest/gtest.h>

#include <functional>

namespace {

using richtext_test::describe;

QStringList paragraphs(const QTextDocument& document)
{
    QStringList list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        list << block.text();
    return list;
}

QTextCharFormat formatAt(const QTextDocument& document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

struct ReadCase;
void PrintTo(const ReadCase& c, std::ostream* out);

struct ReadCase {
    const char* name;
    QByteArray rtf;
    QStringList expected;
    std::function<void(const QTextDocument&)> check = {};
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class RtfRead : public ::testing::TestWithParam<ReadCase> {
protected:
    void SetUp() override { richtext_test::ensureApplication(); }
};

TEST_P(RtfRead, LoadsTheTextAndItsFormatting)
{
    const ReadCase& c = GetParam();
    QTextDocument document;
    richtext::readRtf(c.rtf, document);
    EXPECT_EQ(paragraphs(document), c.expected) << describe(document).toStdString();
    if (c.check)
        c.check(document);
}

QByteArray nested(int depth)
{
    return "{\\rtf1 a" + QByteArray(depth, '{') + "x" + QByteArray(depth, '}') + "b}";
}

const QString kCzech = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");

const ReadCase kReadCases[] = {
    // Windows-1250 escapes, as Czech word processors write them.
    {"czech_code_page",
     "{\\rtf1\\ansi\\ansicpg1250 P\\'f8\\'edli\\'9a \\'9elu\\'9dou\\'e8k\\'fd k\\'f9\\'f2 "
     "\\'fap\\'ecl \\'ef\\'e1belsk\\'e9 \\'f3dy}",
     {kCzech}},
    // A Western code page with a Central European font: the font's charset decides.
    {"font_charset_overrides_code_page",
     "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial CE;}"
     "{\\f1\\fcharset0 Times;}}\\f0 \\'e8\\'f8 \\f1 \\'e8}",
     {QStringLiteral("čř è")},
     [](const QTextDocument& d) {
         EXPECT_EQ(formatAt(d, 0).font().family(), QStringLiteral("Arial CE"));
         EXPECT_EQ(formatAt(d, 3).font().family(), QStringLiteral("Times"));
     }},
    {"unicode_with_fallback",
     "{\\rtf1\\uc1 \\u269?esky \\uc2\\u345\\'e8\\'e8x \\uc0\\u382 z}",
     {QStringLiteral("česky řx žz")}},
    {"unicode_fallback_stops_at_group",
     "{\\rtf1\\uc3 \\u269 a{b}c}", {QStringLiteral("čbc")}},
    {"surrogate_pair_and_lone_halves",
     "{\\rtf1\\uc1 \\u-10179?\\u-8704? \\u-10179?x \\u-8704?}",
     {QStringLiteral("\U0001F600 \uFFFDx \uFFFD")}},
    {"unknown_destinations_skipped",
     "{\\rtf1 a{\\*\\foo b{c}\\par}d{\\*\\generator Writer;}e}", {QStringLiteral("ade")}},
    {"known_destinations_skipped",
     "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
     "{\\header H}text{\\footnote F}}",
     {QStringLiteral("text")}},
    {"unknown_words_ignored_text_kept", "{\\rtf1 \\foo a\\bar5 b\\zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz c}",
     {QStringLiteral("abc")}},
    {"field_result_kept",
     "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt odkaz}}.}",
     {QStringLiteral("see odkaz.")}},
    {"paragraphs_and_line_breaks",
     "{\\rtf1 one\\par two\\line three\\par\\par four\\\nfive}",
     {QStringLiteral("one"), QStringLiteral("two\u2028three"), QString(), QStringLiteral("four"),
      QStringLiteral("five")}},
    // Word processors end every paragraph with \par: no empty one follows.
    {"final_par_ends_the_last_paragraph", "{\\rtf1 one\\par two\\par\n}",
     {QStringLiteral("one"), QStringLiteral("two")}},
    {"empty_document", "{\\rtf1}", {QString()}},
    {"special_characters",
     "{\\rtf1 a\\tab b\\~c\\emdash d\\endash e\\lquote f\\rquote \\ldblquote g\\rdblquote\\bullet"
     " \\\\\\{\\}}",
     {QStringLiteral("a\tb\u00A0c\u2014d\u2013e\u2018f\u2019\u201Cg\u201D\u2022\\{}")}},
    {"control_characters_dropped", QByteArray("{\\rtf1 a\x01\x00" "b\x7f}", 13),
     {QStringLiteral("ab\u007f")}},
    {"binary_data_with_braces_skipped",
     "{\\rtf1 a{\\*\\blob \\bin2 }}}b}", {QStringLiteral("ab")}},
    {"huge_binary_count", "{\\rtf1 a\\bin99999999999 }}}}", {QStringLiteral("a")}},
    {"negative_binary_count", "{\\rtf1 a\\bin-5 b}", {QStringLiteral("ab")}},
    // Past 200 levels groups keep their text; only their formatting is lost.
    {"nesting_at_the_limit", nested(200), {QStringLiteral("axb")}},
    {"nesting_past_the_limit_keeps_text", nested(1000), {QStringLiteral("axb")}},
    {"deep_nesting_keeps_text", nested(100000), {QStringLiteral("axb")}},
    {"formatting_past_the_limit_ignored",
     "{\\rtf1 " + QByteArray(199, '{') + "\\i a{\\b b{\\par c\\u269?\\tab}d}e" + QByteArray(199, '}') +
         "{\\b f}}",
     {QStringLiteral("ab"), QStringLiteral("c\u010D\tdef")},
     [](const QTextDocument& d) {
         EXPECT_TRUE(formatAt(d, 1).font().italic()); // the deepest kept group's
         EXPECT_FALSE(formatAt(d, 1).font().bold());
         EXPECT_FALSE(formatAt(d, 3).font().bold());
         EXPECT_TRUE(formatAt(d, 8).font().bold()); // formatting is back after the deep groups
     }},
    // Destinations past the limit are still skipped whole.
    {"destinations_past_the_limit_skipped",
     "{\\rtf1 " + QByteArray(250, '{') + "a{\\*\\foo x}{\\fonttbl{\\f0 Y;}}{\\info z}b" + QByteArray(250, '}') + "}",
     {QStringLiteral("ab")}},
    {"moderate_nesting_kept", nested(50), {QStringLiteral("axb")}},
    {"truncated_in_a_group", "{\\rtf1 {\\b bold {\\i both", {QStringLiteral("bold both")},
     [](const QTextDocument& d) {
         EXPECT_TRUE(formatAt(d, 0).font().bold());
         EXPECT_TRUE(formatAt(d, 6).font().italic());
     }},
    // A broken escape is dropped; what follows it is text.
    {"truncated_escape", "{\\rtf1 ab\\'e", {QStringLiteral("abe")}},
    {"lone_backslash_at_end", "{\\rtf1 ab\\", {QStringLiteral("ab")}},
    {"text_after_the_document_ignored", "{\\rtf1 in}out{\\rtf1 more}", {QStringLiteral("in")}},
    {"unbalanced_closing_braces", "{\\rtf1 a}}}}b", {QStringLiteral("a")}},
    {"huge_numbers_clamped",
     "{\\rtf1\\fs99999999999\\f2147483647\\cf-2147483648\\li999999999999\\ls77777777\\uc99999999 "
     "\\u99999999 x}",
     {QStringLiteral("\uFFFD")}},
    {"unknown_code_page", "{\\rtf1\\ansi\\ansicpg65001 \\'e8}", {QStringLiteral("è")}},
    {"character_formatting",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;"
     "\\red0\\green0\\blue255;}\\f0\\fs20 n{\\b b\\b0}{\\i i}{\\ul u\\ulnone}{\\strike s}"
     "{\\cf1 r}{\\highlight2 h}{\\f1\\fs36 c}{\\super 2}\\plain p}",
     {QStringLiteral("nbiusrhc2p")},
     [](const QTextDocument& d) {
         EXPECT_EQ(formatAt(d, 0).fontPointSize(), 10);
         EXPECT_TRUE(formatAt(d, 1).font().bold());
         EXPECT_FALSE(formatAt(d, 0).font().bold());
         EXPECT_TRUE(formatAt(d, 2).font().italic());
         EXPECT_TRUE(formatAt(d, 3).font().underline());
         EXPECT_TRUE(formatAt(d, 4).font().strikeOut());
         EXPECT_EQ(formatAt(d, 5).foreground().color(), QColor(Qt::red));
         EXPECT_EQ(formatAt(d, 6).background().color(), QColor(Qt::blue));
         EXPECT_EQ(formatAt(d, 7).font().family(), QStringLiteral("Courier New"));
         EXPECT_EQ(formatAt(d, 7).fontPointSize(), 18);
         EXPECT_EQ(formatAt(d, 8).verticalAlignment(), QTextCharFormat::AlignSuperScript);
         EXPECT_EQ(formatAt(d, 9).fontPointSize(), 12); // \plain: RTF's default size
         EXPECT_EQ(formatAt(d, 9).font().family(), QStringLiteral("Arial")); // \deff0
     }},
    // Paragraph properties apply to the paragraph they end, wherever they stand in it.
    {"paragraph_formatting",
     "{\\rtf1\\pard\\qc centred\\par\\pard right\\qr\\par\\pard\\qj\\li1500\\fi-300\\ri750 "
     "justified\\par\\pard plain}",
     {QStringLiteral("centred"), QStringLiteral("right"), QStringLiteral("justified"),
      QStringLiteral("plain")},
     [](const QTextDocument& d) {
         EXPECT_EQ(d.findBlockByNumber(0).blockFormat().alignment(), Qt::AlignHCenter);
         EXPECT_EQ(d.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignRight);
         const QTextBlockFormat j = d.findBlockByNumber(2).blockFormat();
         EXPECT_EQ(j.alignment(), Qt::AlignJustify);
         EXPECT_DOUBLE_EQ(j.leftMargin(), 100);
         EXPECT_DOUBLE_EQ(j.textIndent(), -20);
         EXPECT_DOUBLE_EQ(j.rightMargin(), 50);
         EXPECT_EQ(d.findBlockByNumber(3).blockFormat().alignment(), Qt::AlignLeft);
         EXPECT_DOUBLE_EQ(d.findBlockByNumber(3).blockFormat().leftMargin(), 0);
     }},
    // WordPad's bullets.
    {"old_style_bullets",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\pard{\\pntext\\f1\\'B7\\tab}"
     "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 one\\par"
     "{\\pntext\\f1\\'B7\\tab}two\\par\\pard after\\par}",
     {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("after")},
     [](const QTextDocument& d) {
         const QTextList* list = d.findBlockByNumber(0).textList();
         ASSERT_NE(list, nullptr);
         EXPECT_EQ(list->format().style(), QTextListFormat::ListDisc);
         EXPECT_EQ(d.findBlockByNumber(1).textList(), list);
         EXPECT_EQ(d.findBlockByNumber(2).textList(), nullptr);
     }},
    // Word's and LibreOffice's lists: the list table tells bullets from numbers.
    {"list_table_bullets_and_numbers",
     "{\\rtf1{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext "
     "\\'01\\u8226 ?;}{\\levelnumbers;}}{\\listlevel\\levelnfc0}\\listid11}"
     "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid22}}"
     "{\\*\\listoverridetable{\\listoverride\\listid11\\listoverridecount0\\ls1}"
     "{\\listoverride\\listid22\\ls2}}"
     "\\pard\\ls1{\\listtext \\'95\\tab}dot\\par\\pard\\ls2{\\listtext 1.\\tab}num\\par}",
     {QStringLiteral("dot"), QStringLiteral("num")},
     [](const QTextDocument& d) {
         ASSERT_NE(d.findBlockByNumber(0).textList(), nullptr);
         ASSERT_NE(d.findBlockByNumber(1).textList(), nullptr);
         EXPECT_EQ(d.findBlockByNumber(0).textList()->format().style(), QTextListFormat::ListDisc);
         EXPECT_EQ(d.findBlockByNumber(1).textList()->format().style(),
                   QTextListFormat::ListDecimal);
     }},
    {"colour_table_out_of_range", "{\\rtf1{\\colortbl;\\red300\\green-4\\blue9;}\\cf1 a\\cf9 b}",
     {QStringLiteral("ab")},
     [](const QTextDocument& d) {
         EXPECT_EQ(formatAt(d, 0).foreground().color(), QColor(255, 0, 9));
         EXPECT_FALSE(formatAt(d, 1).hasProperty(QTextFormat::ForegroundBrush));
     }},
    {"unsupported_picture_skipped",
     "{\\rtf1 a{\\pict\\wmetafile8\\picw10\\pich10 0102030405}b}", {QStringLiteral("ab")}},
    {"broken_picture_skipped", "{\\rtf1 a{\\pict\\pngblip 89504e470d0a1a0a0000}b}",
     {QStringLiteral("ab")}},
    {"nonshppict_alternative_skipped",
     "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}b}",
     {QStringLiteral("ab")}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RtfRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

class RtfPictures : public ::testing::Test {
protected:
    void SetUp() override { richtext_test::ensureApplication(); }
};

// PNG and JPEG pictures load at their goal size; hex and \bin data both work.
TEST_F(RtfPictures, LoadsPngAndJpegAtTheirGoalSize)
{
    const QByteArray png = richtext_test::pngBytes(4, 3, Qt::red);
    const QByteArray jpeg = richtext_test::jpegBytes(8, 8);
    const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip\\picw4\\pich3\\picwgoal600\\pichgoal450 " +
                           png.toHex() + "}b{\\*\\shppict{\\pict\\jpegblip\\picscalex50\\picscaley200 \\bin" +
                           QByteArray::number(jpeg.size()) + " " + jpeg + "}}c}";
    QTextDocument document;
    richtext::readRtf(rtf, document);
    const QString font = document.defaultFont().family() + QStringLiteral(" 12pt");
    EXPECT_EQ(describe(document), QStringLiteral("[align 1 left 0 first 0 right 0] <%1>a <picture 40x30>"
                                                 "\uFFFC <%1>b <picture 4x16>\uFFFC <%1>c\n")
                                      .arg(font));
}

} // namespace
