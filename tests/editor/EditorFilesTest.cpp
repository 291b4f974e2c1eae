// Files the editor cannot read never become the document: a picture dropped,
// pasted or opened, a document past the editor's limits, a load the user
// cancelled. The letter and its name stay, so Save cannot overwrite such a
// file. Deeply nested RTF loads its text. The file dialogs start where the
// user last was.

#include "EditorFixture.h"

#include "richtext/Rtf.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <functional>
#include <vector>

namespace {

using editor_test::EditorFixture;
using platform::Button;

QByteArray pngBytes()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray nestedRtf(int depth)
{
    return "{\\rtf1 Vazeny " + QByteArray(depth, '{') + "pane" + QByteArray(depth, '}') + "}";
}

class EditorFiles : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        m_form->show();
        m_form
            ->activateWindow(); // the window's shortcuts (Ctrl+U, Ctrl+N) work in the active window
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        m_letter = writeFile(QStringLiteral("dopis.rtf"), "{\\rtf1 Dopis}");
        ASSERT_TRUE(m_form->LoadDocument(m_letter));
        typeInto(m_form->editorArea(), QStringLiteral("!"));
    }
    QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // After a refused file: the letter, its name and its changes are there,
    // and Save writes the letter, not the refused file.
    void expectLetterKept(const QString& refused, const QByteArray& refusedBytes)
    {
        EXPECT_EQ(text(), QStringLiteral("!Dopis"));
        EXPECT_EQ(m_form->documentName(), m_letter);
        EXPECT_EQ(m_form->windowTitle(), QStringLiteral("dopis.rtf - Pelmir a telefony"));
        EXPECT_EQ(statusPanel("StatusPanelModified"), QStringLiteral("Změněno"));
        QTest::keyClick(m_form->editorArea(), Qt::Key_U, Qt::ControlModifier);
        EXPECT_EQ(readFile(refused), refusedBytes);
        EXPECT_EQ(richtext::plainText(QString::fromLatin1(readFile(m_letter))),
                  QStringLiteral("!Dopis"));
    }
    QString m_letter;
};

struct Refusal {
    const char* name;
    QByteArray bytes;
    QString reason;
};

void PrintTo(const Refusal& r, std::ostream* out)
{
    *out << r.name;
}

class RefusedFile : public EditorFiles, public ::testing::WithParamInterface<Refusal> {};

QByteArray tooManyParagraphs()
{
    return "{\\rtf1 " + QByteArray("\\par ").repeated(richtext::DocumentLimits().paragraphs + 1) +
           "}";
}

const Refusal kRefusals[] = {
    {"picture", pngBytes(), QStringLiteral("není to dokument RTF ani prostý text")},
    {"binary", QByteArray("MZ\x90\0\3\0\0\0", 8),
     QStringLiteral("není to dokument RTF ani prostý text")},
    {"too_many_paragraphs", tooManyParagraphs(),
     QStringLiteral("dokument má víc než 100\u00A0000 odstavců, víc jich editor neotevře")},
};

// Dropped, pasted as a file or chosen in the open dialog, a file that is
// no document is reported with the reason, after the save question.
TEST_P(RefusedFile, ReportedAndTheLetterStays)
{
    const Refusal& r = GetParam();
    const QString path = writeFile(QStringLiteral("soubor.bin"), r.bytes);
    const QString message = QStringLiteral("Soubor %1 nelze přečíst: %2").arg(path, r.reason);
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(path)});

    m_fakes.dialogs.answerNext(Button::No);
    m_form->editorArea()->insertFromMimeData(&dropped); // a drop or a paste
    EXPECT_EQ(m_fakes.dialogs.shownTexts(),
              (QStringList{QStringLiteral("Uložit změny do souboru %1?").arg(m_letter), message}));
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    m_fakes.dialogs.clear();

    m_fakes.dialogs.answerNext(Button::No);
    m_fakes.dialogs.answerNextOpenFile(path);
    m_form->FileOpen();
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, message);
    expectLetterKept(path, r.bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedFile, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// A load the user stops in the progress window changes nothing and says nothing.
TEST_F(EditorFiles, CancelledLoadKeepsTheLetter)
{
    QByteArray big = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        big += "radek\\par ";
    const QString path = writeFile(QStringLiteral("velky.rtf"), big + "}");
    m_fakes.progress.cancelAt(1);
    m_fakes.dialogs.clear();
    EXPECT_FALSE(m_form->LoadDocument(path));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(m_fakes.progress.titles(), QStringList{QStringLiteral("Otevírání dokumentu")});
    expectLetterKept(path, big + "}");
}

// RTF nested deeper than the reader keeps formatting for loads its text
// under the file's name.
TEST_F(EditorFiles, DeeplyNestedRtfLoadsItsText)
{
    for (const int depth : {200, 1000, 10000}) {
        const QString path =
            writeFile(QStringLiteral("hluboky%1.rtf").arg(depth), nestedRtf(depth));
        m_fakes.dialogs.answerNext(Button::No);
        m_fakes.dialogs.answerNextOpenFile(path);
        m_form->FileOpen();
        EXPECT_EQ(text(), QStringLiteral("Vazeny pane")) << depth;
        EXPECT_EQ(m_form->documentName(), path);
        EXPECT_EQ(statusPanel("StatusPanelModified"), QString());
    }
}

// Open starts in the documents folder, then where a file was last chosen;
// Save As offers the document's own file, or the folder with no name for a
// new letter, and leaves the overwrite question to the editor.
TEST_F(EditorFiles, DialogsStartWhereTheUserLastWas)
{
    const auto& requests = m_fakes.dialogs.fileRequests();
    m_fakes.dialogs.answerNext(Button::No);
    m_form->FileOpen(); // cancelled
    EXPECT_EQ(requests.last().dir, m_fakes.paths.documentsDir());

    const QString folder = m_dir.filePath(QStringLiteral("jinde"));
    QDir().mkpath(folder);
    m_fakes.dialogs.answerNextSaveFile(folder + QStringLiteral("/kopie"));
    EXPECT_TRUE(m_form->FileSaveAs());
    EXPECT_EQ(requests.last().dir, m_letter);
    EXPECT_EQ(requests.last().overwrite, platform::OverwriteQuestion::Caller);
    EXPECT_EQ(m_form->documentName(), folder + QStringLiteral("/kopie.rtf"));

    click("NewButton");
    m_form->FileSaveAs(); // cancelled
    EXPECT_EQ(requests.last().dir, folder);
    m_form->FileOpen();
    EXPECT_EQ(requests.last().dir, folder);

    // A folder that went away gives way to the documents folder.
    QDir(folder).removeRecursively();
    m_form->FileOpen();
    EXPECT_EQ(requests.last().dir, m_fakes.paths.documentsDir());
}

// Formatting with nothing selected changes the letter: the mark shows and
// End asks before the change is thrown away.
TEST_F(EditorFiles, FormattingWithoutSelectionIsAChange)
{
    struct Change {
        const char* name;
        std::function<void()> apply;
    };
    const std::vector<Change> changes = {
        {"bold", [this] { click("BoldButton"); }},
        {"italic", [this] { click("ItalicButton"); }},
        {"underline", [this] { click("UnderlineButton"); }},
        {"size",
         [this] {
             auto* size = control<QLineEdit>("FontSize");
             size->selectAll();
             QTest::keyClicks(size, QStringLiteral("31"));
         }},
        {"font_dialog",
         [this] {
             QFont font = m_form->editorArea()->document()->defaultFont();
             font.setPointSize(27);
             m_fakes.dialogs.answerNextFont(font);
             action("Pismo")->trigger();
         }},
    };
    for (const Change& change : changes) {
        click("NewButton");
        ASSERT_EQ(statusPanel("StatusPanelModified"), QString());
        change.apply();
        EXPECT_EQ(statusPanel("StatusPanelModified"), QStringLiteral("Změněno")) << change.name;
        m_fakes.dialogs.clear();
        m_fakes.dialogs.answerNext(Button::Cancel);
        click("EndButton");
        EXPECT_EQ(m_fakes.dialogs.shownTexts(),
                  QStringList{QStringLiteral("Uložit změny do souboru Bez názvu?")})
            << change.name;
        m_form->show();
    }
}

// Ctrl+N starts a letter in the default font, whatever the last one had.
TEST_F(EditorFiles, NewLetterStartsInTheDefaultFont)
{
    const QFont start = m_form->editorArea()->document()->defaultFont();
    click("NewButton");
    click("BoldButton");
    auto* size = control<QLineEdit>("FontSize");
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("14"));
    typeInto(m_form->editorArea(), QStringLiteral("tučně"));
    QTest::keyClick(m_form->editorArea(), Qt::Key_N, Qt::ControlModifier);
    typeInto(m_form->editorArea(), QStringLiteral("nový"));
    const QFont typed = m_form->editorArea()->currentCharFormat().font().resolve(
        m_form->editorArea()->document()->defaultFont());
    EXPECT_FALSE(typed.bold());
    EXPECT_EQ(typed.pointSizeF(), start.pointSizeF());
    EXPECT_FALSE(control<QAbstractButton>("BoldButton")->isChecked());
    EXPECT_EQ(size->text(), QString::number(qRound(start.pointSizeF())));
}

// A picture on the clipboard goes in as a picture and is saved with the letter.
TEST_F(EditorFiles, PastedPictureIsInsertedAndSaved)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::green);
    QApplication::clipboard()->setImage(image);
    EXPECT_TRUE(control<QWidget>("PasteButton")->isEnabled());
    click("PasteButton");
    QTextBlock::iterator fragment = m_form->editorArea()->document()->begin().begin();
    while (!fragment.atEnd() && !fragment.fragment().charFormat().isImageFormat())
        ++fragment;
    ASSERT_FALSE(fragment.atEnd());
    EXPECT_EQ(fragment.fragment().charFormat().toImageFormat().width(), 20);
    QTest::keyClick(m_form->editorArea(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(readFile(m_letter).contains("\\pngblip"));
}

// The caret panel shows five-digit line numbers whole.
TEST_F(EditorFiles, CaretPanelFitsLongLetters)
{
    m_form->editorArea()->setPlainText(QStringLiteral("řádek\n").repeated(12344) +
                                       QStringLiteral("konec řádku"));
    m_form->editorArea()->moveCursor(QTextCursor::End);
    auto* panel = control<QLabel>("StatusPanelCaret");
    EXPECT_EQ(panel->text(), QStringLiteral("Řádek: 12345   Znaků:  12"));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());
}

} // namespace
