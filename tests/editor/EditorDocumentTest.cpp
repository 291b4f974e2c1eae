// The editor's documents: the save questions with their answers, Save As
// and the overwrite question, failed reads and writes, dropped files and
// the command-line document.

#include "EditorFixture.h"

#include "richtext/Rtf.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPrinter>
#include <QTest>
#include <QUrl>

namespace {

using editor_test::EditorFixture;
using platform::Button;

class EditorDocument : public EditorFixture {
protected:
    void typeLetter(const QString& text = QStringLiteral("Vážený pane"))
    {
        m_form->show();
        typeInto(m_form->editorArea(), text);
    }
    QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString question() { return m_fakes.dialogs.lastBox().text; }
};

TEST_F(EditorDocument, StartsUntitledWithItsCaption)
{
    EXPECT_EQ(m_form->documentName(), QStringLiteral("Bez názvu"));
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Bez názvu - Pelmir a telefony"));
    EXPECT_EQ(statusPanel("StatusPanelCaret"), QStringLiteral("Řádek:   1   Znaků:   1"));
    EXPECT_EQ(statusPanel("StatusPanelModified"), QString());
    EXPECT_FALSE(control<QWidget>("UndoButton")->isEnabled());
    EXPECT_FALSE(control<QWidget>("CutButton")->isEnabled());
}

// End asks about unsaved changes: Cancel keeps everything, No throws the
// text away, Yes on a never-saved letter saves it under a chosen name.
TEST_F(EditorDocument, EndAsksAndFollowsTheAnswer)
{
    typeLetter();
    EXPECT_EQ(statusPanel("StatusPanelModified"), QStringLiteral("Změněno"));
    m_fakes.dialogs.answerNext(Button::Cancel);
    click("EndButton");
    EXPECT_EQ(question(), QStringLiteral("Uložit změny do souboru Bez názvu?"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().buttons, (QList<Button>{Button::Yes, Button::No, Button::Cancel}));
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(text(), QStringLiteral("Vážený pane"));

    m_fakes.dialogs.answerNext(Button::Yes);
    m_fakes.dialogs.answerNextSaveFile(documentPath(QStringLiteral("dopis")));
    QDir().mkpath(m_fakes.paths.documentsDir());
    click("EndButton");
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(m_form->documentName(), documentPath(QStringLiteral("dopis.rtf")));
    EXPECT_EQ(richtext::plainText(QString::fromLatin1(readFile(documentPath(QStringLiteral("dopis.rtf"))))),
              QStringLiteral("Vážený pane"));

    typeLetter(QStringLiteral("zahodit"));
    m_fakes.dialogs.answerNext(Button::No);
    m_form->FileExit();
    EXPECT_EQ(text(), QString());
    EXPECT_FALSE(m_form->isVisible());
    // The file of the first letter was not touched by the second.
    EXPECT_EQ(richtext::plainText(QString::fromLatin1(readFile(documentPath(QStringLiteral("dopis.rtf"))))),
              QStringLiteral("Vážený pane"));
}

// Yes to the question, then cancelling the file dialog, saves nothing: the
// command stops and the text stays (it is not thrown away unsaved).
TEST_F(EditorDocument, CancelledSaveAsUnderTheQuestionKeepsTheText)
{
    typeLetter();
    m_fakes.dialogs.answerNext(Button::Yes);
    m_form->FileExit();
    EXPECT_EQ(text(), QStringLiteral("Vážený pane"));
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(m_fakes.dialogs.fileRequests().size(), 1);
}

// The close box asks too; Cancel keeps the window open, No hides it with its text.
TEST_F(EditorDocument, CloseBoxKeepsTheTextForTheNextOpening)
{
    typeLetter();
    m_fakes.dialogs.answerNext(Button::Cancel);
    m_form->close();
    EXPECT_TRUE(m_form->isVisible());
    m_fakes.dialogs.answerNext(Button::No);
    m_form->close();
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(text(), QStringLiteral("Vážený pane"));
    m_form->openWithAddress({QStringLiteral("Novák"), QStringLiteral("Jan"), {}, {}});
    EXPECT_TRUE(text().startsWith(QStringLiteral("Vážený pane\n\nJan Novák")));
}

TEST_F(EditorDocument, NewDiscardsWithoutAQuestion)
{
    typeLetter();
    click("NewButton");
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(statusPanel("StatusPanelModified"), QString());
}

// Save As to an existing file asks; No and Cancel leave the file alone.
TEST_F(EditorDocument, SaveAsAsksBeforeOverwriting)
{
    const QString existing = writeFile(QStringLiteral("stary.rtf"), "{\\rtf1 old}");
    typeLetter();
    for (const Button answer : {Button::No, Button::Cancel}) {
        m_fakes.dialogs.answerNextSaveFile(existing);
        m_fakes.dialogs.answerNext(answer);
        EXPECT_FALSE(m_form->FileSaveAs());
        EXPECT_EQ(question(), QStringLiteral("Přepsat soubor %1?").arg(existing));
        EXPECT_EQ(readFile(existing), QByteArray("{\\rtf1 old}"));
        EXPECT_EQ(m_form->documentName(), QStringLiteral("Bez názvu"));
    }
    m_fakes.dialogs.answerNextSaveFile(existing);
    m_fakes.dialogs.answerNext(Button::Yes);
    EXPECT_TRUE(m_form->FileSaveAs());
    EXPECT_TRUE(readFile(existing).startsWith("{\\rtf1\\ansi\\ansicpg1250"));
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("stary.rtf - Pelmir a telefony"));
    const auto& request = m_fakes.dialogs.fileRequests().last();
    EXPECT_EQ(request.filter, QStringLiteral("Formát RTF (*.rtf)"));
    EXPECT_EQ(request.dir, m_fakes.paths.documentsDir());

    // Save now writes to that name without asking.
    typeInto(m_form->editorArea(), QStringLiteral("!"));
    const int boxes = static_cast<int>(m_fakes.dialogs.shown().size());
    click("SaveButton");
    EXPECT_EQ(m_fakes.dialogs.shown().size(), boxes);
    EXPECT_TRUE(richtext::plainText(QString::fromLatin1(readFile(existing))).endsWith(u'!'));
}

// A file that cannot be written: the platform's reason is shown, the letter
// stays modified under its old name, and a question's command stops.
TEST_F(EditorDocument, FailedWriteKeepsTheLetter)
{
    typeLetter();
    const QString impossible = m_dir.filePath(QStringLiteral("no/such/folder/dopis.rtf"));
    m_fakes.dialogs.answerNextSaveFile(impossible);
    EXPECT_FALSE(m_form->FileSaveAs());
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("Soubor %1 nelze uložit: ").arg(impossible)));
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(m_form->documentName(), QStringLiteral("Bez názvu"));
    EXPECT_EQ(statusPanel("StatusPanelModified"), QStringLiteral("Změněno"));

    m_fakes.dialogs.answerNext(Button::Yes);
    m_fakes.dialogs.answerNextSaveFile(impossible);
    m_form->close();
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(text(), QStringLiteral("Vážený pane"));
}

// Open asks first, loads RTF or plain text, and reports a file it cannot read.
TEST_F(EditorDocument, OpenLoadsRtfAndPlainTextAndReportsFailures)
{
    const QString rtf = writeFile(QStringLiteral("a.rtf"), "{\\rtf1\\ansicpg1250 \\'e8aj\\par k\\'e1va}");
    const QString plain = writeFile(QStringLiteral("b.txt"), "prost\xc3\xbd text");
    m_fakes.dialogs.answerNextOpenFile(rtf);
    m_form->show();
    click("OpenButton");
    EXPECT_EQ(paragraphs(), (QStringList{QStringLiteral("čaj"), QStringLiteral("káva")}));
    EXPECT_EQ(m_form->documentName(), rtf);
    EXPECT_EQ(statusPanel("StatusPanelModified"), QString());

    m_fakes.dialogs.answerNextOpenFile(plain);
    m_form->FileOpen();
    EXPECT_EQ(text(), QStringLiteral("prostý text"));

    m_fakes.dialogs.answerNextOpenFile(documentPath(QStringLiteral("missing.rtf")));
    m_form->FileOpen();
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("Soubor %1 nelze přečíst")
                                                              .arg(documentPath(QStringLiteral("missing.rtf")))));
    EXPECT_EQ(m_form->documentName(), plain);
    EXPECT_EQ(text(), QStringLiteral("prostý text"));
}

// Of several files dropped on the editor only the first is loaded.
TEST_F(EditorDocument, DroppedFilesLoadTheFirstOnly)
{
    const QString first = writeFile(QStringLiteral("1.rtf"), "{\\rtf1 first}");
    const QString second = writeFile(QStringLiteral("2.rtf"), "{\\rtf1 second}");
    m_form->show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    m_form->editorArea()->insertFromMimeData(&data);
    EXPECT_EQ(text(), QStringLiteral("first"));
    EXPECT_EQ(m_form->documentName(), first);
}

// The first argument of the program is loaded each time the window is
// shown, replacing the text without a question, before the address block.
TEST_F(EditorDocument, CommandLineDocumentLoadsOnEveryShow)
{
    const QString file = writeFile(QStringLiteral("arg.rtf"), "{\\rtf1 z argumentu}");
    m_form->setCommandLineDocument(file);
    m_form->openWithAddress({QStringLiteral("Novák"), QStringLiteral("Jan"), QStringLiteral("Dlouhá 5"),
                             QStringLiteral("1")});
    EXPECT_EQ(paragraphs(), (QStringList{QStringLiteral("z argumentu"), QString(), QStringLiteral("Jan Novák"),
                                         QStringLiteral("Dlouhá 5"), QStringLiteral("telefon: 1"), QString(),
                                         QString()}));
    m_fakes.dialogs.answerNext(Button::No);
    m_form->FileExit();
    m_form->openWithAddress({QStringLiteral("Černý"), QString(), {}, {}});
    EXPECT_EQ(paragraphs().first(), QStringLiteral("z argumentu"));
    EXPECT_EQ(paragraphs().size(), 7);
    EXPECT_TRUE(m_fakes.dialogs.shown().size() == 1); // only the question of End
}

// After End the window title still names the last file; Save writes there.
TEST_F(EditorDocument, AfterEndSaveWritesToTheLastFile)
{
    const QString file = writeFile(QStringLiteral("posledni.rtf"), "{\\rtf1 old}");
    m_fakes.dialogs.answerNextOpenFile(file);
    m_form->show();
    m_form->FileOpen();
    m_form->FileExit();
    m_form->openWithAddress({QStringLiteral("Novák"), QStringLiteral("Jan"), {}, {}});
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("posledni.rtf - Pelmir a telefony"));
    EXPECT_EQ(paragraphs().at(1), QStringLiteral("Jan Novák"));
    click("SaveButton");
    EXPECT_TRUE(m_fakes.dialogs.fileRequests().size() == 1);
    EXPECT_TRUE(richtext::plainText(QString::fromLatin1(readFile(file))).contains(QStringLiteral("Jan Novák")));
}

// Printing goes to the run's printer through the print dialog; as a PDF
// file here, titled with the document name.
TEST_F(EditorDocument, PrintsTheDocumentThroughThePrinter)
{
    typeLetter(QStringLiteral("Tisk"));
    QPrinter* printer = m_fakes.printer.qprinter();
    const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    m_fakes.dialogs.setPrintAnswer(false);
    click("PrintButton");
    EXPECT_FALSE(QFileInfo::exists(pdf));
    m_fakes.dialogs.setPrintAnswer(true);
    action("FilePrintItem")->trigger();
    EXPECT_EQ(m_fakes.dialogs.printDialogs(), 2);
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    EXPECT_EQ(printer->docName(), QStringLiteral("Bez názvu"));
}

} // namespace
