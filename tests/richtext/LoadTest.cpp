// Loading a file as a document: RTF, honest plain text, or nothing. A file
// that is neither (a picture, a program) and a document past the limits are
// refused with a reason and leave the document empty; a long load reports
// progress and stops when told to.

#include "RichTextSupport.h"

#include "richtext/Rtf.h"

#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using richtext::DocumentLimits;
using richtext::LoadResult;
using Status = richtext::LoadResult::Status;

QStringList paragraphs(const QTextDocument& document)
{
    QStringList list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        list << block.text();
    return list;
}

class RtfLoad : public ::testing::Test {
protected:
    void SetUp() override { richtext_test::ensureApplication(); }
    // Loads into a document that held text before, as a reused one would.
    LoadResult load(const QByteArray& data, const DocumentLimits& limits = {})
    {
        m_document.setPlainText(QStringLiteral("před"));
        return richtext::loadDocument(data, m_document, {}, limits);
    }
    QTextDocument m_document;
};

struct TextCase {
    const char* name;
    QByteArray data;
    Status status;
    QString text; // what loads, when it does
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.name;
}

class PlainTextDecision : public RtfLoad, public ::testing::WithParamInterface<TextCase> {};

// Plain text is what a text file holds: valid UTF-8, or Windows-1250 with
// every byte a letter of that page; NUL and other control bytes are not text.
TEST_P(PlainTextDecision, LoadsTextOnlyWhenItIsText)
{
    const TextCase& c = GetParam();
    const LoadResult result = load(c.data);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(m_document.toPlainText(), c.text);
    if (c.status == Status::NotText)
        EXPECT_EQ(result.reason, QStringLiteral("není to dokument RTF ani prostý text"));
    else
        EXPECT_EQ(result.reason, QString());
}

const TextCase kTextCases[] = {
    {"utf8", QStringLiteral("Dobrý den\nřádek").toUtf8(), Status::PlainText,
     QStringLiteral("Dobrý den\nřádek")},
    {"utf8_with_bom_and_crlf", "\xEF\xBB\xBFtab\there\r\nx\f", Status::PlainText,
     QStringLiteral("tab\there\nx")},
    {"windows_1250", "\xe8\x61j \x9a\x9d\x9e", Status::PlainText, QStringLiteral("čaj šťž")},
    {"empty_file", "", Status::PlainText, QString()},
    {"rtf", " \r\n{\\rtf1 x}", Status::Rtf, QStringLiteral("x")},
    {"png_picture", richtext_test::pngBytes(4, 4, Qt::red), Status::NotText, QString()},
    {"nul_byte", QByteArray("text\0more", 9), Status::NotText, QString()},
    {"control_byte_in_utf8", "p\xc5\x99\x1b[0m", Status::NotText, QString()},
    {"delete_byte", "abc\x7f", Status::NotText, QString()},
    {"byte_windows_1250_lacks", "\xe8\x61j \x98", Status::NotText, QString()},
    {"utf16_text",
     QByteArray("\xff\xfe"
                "a\0b\0",
                6),
     Status::NotText, QString()},
};

INSTANTIATE_TEST_SUITE_P(Cases, PlainTextDecision, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct LimitCase {
    const char* name;
    QByteArray data;
    DocumentLimits limits;
    Status status;
    QString reason;
};

void PrintTo(const LimitCase& c, std::ostream* out)
{
    *out << c.name;
}

class DocumentLimit : public RtfLoad, public ::testing::WithParamInterface<LimitCase> {};

QByteArray rtfParagraphs(int count, const QByteArray& paragraph = "x")
{
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < count; ++i)
        rtf += paragraph + "\\par ";
    return rtf + "}";
}

// A document past a limit is refused whole with the limit named; one just
// within it loads.
TEST_P(DocumentLimit, RefusesPastTheLimitAndLoadsWithin)
{
    const LimitCase& c = GetParam();
    const LoadResult result = load(c.data, c.limits);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.reason, c.reason);
    if (!result.loaded()) {
        EXPECT_TRUE(m_document.isEmpty()) << m_document.toPlainText().left(40).toStdString();
    }
}

DocumentLimits limits(qint64 bytes, qint64 characters, int paragraphs, int length)
{
    return {bytes, characters, paragraphs, length};
}

const LimitCase kLimitCases[] = {
    {"paragraphs_within", rtfParagraphs(5), limits(1000, 100, 5, 10), Status::Rtf, {}},
    {"paragraphs_past", rtfParagraphs(6) + "", limits(1000, 100, 5, 10), Status::TooLarge,
     QStringLiteral("dokument má víc než 5 odstavců, víc jich editor neotevře")},
    {"empty_paragraphs_past", "{\\rtf1 " + QByteArray("\\par ").repeated(640) + "}",
     limits(100000, 100000, 500, 100), Status::TooLarge,
     QStringLiteral("dokument má víc než 500 odstavců, víc jich editor neotevře")},
    {"paragraph_length_within",
     rtfParagraphs(2, QByteArray(10, 'a')),
     limits(1000, 100, 5, 10),
     Status::Rtf,
     {}},
    {"paragraph_too_long", "{\\rtf1 ab\\par ab\\par {\\b " + QByteArray(11, 'a') + "}}",
     limits(1000, 100, 5, 10), Status::TooLarge,
     QStringLiteral("odstavec č. 3 má víc než 10 znaků, delší odstavec editor neotevře")},
    {"characters_past", rtfParagraphs(4, QByteArray(8, 'a')), limits(1000, 30, 5, 10),
     Status::TooLarge, QStringLiteral("dokument má víc než 30 znaků, víc jich editor neotevře")},
    {"file_past", QByteArray(1024 * 1024 + 1, 'a'), limits(1024 * 1024, 1 << 30, 1000, 1 << 30),
     Status::TooLarge, QStringLiteral("soubor je větší než 1 MB, větší editor neotevře")},
    {"plain_text_lines_past", QByteArray("a\n").repeated(6) + "a", limits(1000, 100, 6, 10),
     Status::TooLarge, QStringLiteral("dokument má víc než 6 odstavců, víc jich editor neotevře")},
    {"plain_text_line_too_long", "a\n" + QByteArray(20, 'a'), limits(1000, 100, 6, 10),
     Status::TooLarge,
     QStringLiteral("odstavec č. 2 má víc než 10 znaků, delší odstavec editor neotevře")},
    {"plain_text_thousands", QByteArray(1500, 'a'), limits(100000, 1200, 6, 100000),
     Status::TooLarge,
     QStringLiteral("dokument má víc než 1\u00A0200 znaků, víc jich editor neotevře")},
};

INSTANTIATE_TEST_SUITE_P(Cases, DocumentLimit, ::testing::ValuesIn(kLimitCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The default limits open a long letter and refuse what froze the editor:
// 640,000 empty paragraphs and one paragraph of millions of characters.
TEST_F(RtfLoad, DefaultLimitsRefuseWhatCannotBeShown)
{
    EXPECT_EQ(load(rtfParagraphs(5000, QByteArray(60, 'a'))).status, Status::Rtf);
    EXPECT_EQ(load("{\\rtf1 " + QByteArray("\\par ").repeated(640000) + "}").status,
              Status::TooLarge);
    EXPECT_EQ(load("{\\rtf1 " + QByteArray(3'000'000, 'a') + "}").status, Status::TooLarge);
    EXPECT_EQ(load(QByteArray(3'000'000, 'a')).status, Status::TooLarge);
}

// Progress goes forward to the file's size; false from it stops the load
// and leaves the document empty.
TEST_F(RtfLoad, ReportsProgressAndStopsWhenCancelled)
{
    const QByteArray rtf = rtfParagraphs(20000, "radek");
    QList<qint64> reports;
    const LoadResult whole =
        richtext::loadDocument(rtf, m_document, [&](qint64 done, qint64 total) {
            EXPECT_EQ(total, rtf.size());
            reports << done;
            return true;
        });
    EXPECT_EQ(whole.status, Status::Rtf);
    ASSERT_GE(reports.size(), 3);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_LE(reports.last(), rtf.size());

    int calls = 0;
    const LoadResult cancelled =
        richtext::loadDocument(rtf, m_document, [&](qint64, qint64) { return ++calls < 2; });
    EXPECT_EQ(cancelled.status, Status::Cancelled);
    EXPECT_EQ(cancelled.reason, QString());
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(m_document.isEmpty());
}

// Loading replaces the document and leaves nothing to undo.
TEST_F(RtfLoad, ReplacesTheDocumentWithoutUndo)
{
    QTextCursor(&m_document).insertText(QStringLiteral("old"));
    ASSERT_TRUE(m_document.isUndoAvailable());
    m_document.clearUndoRedoStacks();
    EXPECT_EQ(richtext::loadDocument("{\\rtf1 new}", m_document).status, Status::Rtf);
    EXPECT_EQ(paragraphs(m_document), QStringList{QStringLiteral("new")});
    EXPECT_FALSE(m_document.isUndoAvailable());
    EXPECT_TRUE(m_document.isUndoRedoEnabled());
}

} // namespace
