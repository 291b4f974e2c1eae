// Editing in the letter editor: the address block, the look-up box, find and
// replace, the clipboard state, pictures and the hints.

#include "EditorFixture.h"

#include "editor/AddressBlock.h"
#include "widgets/DBLookupComboBox.h"

#include "store/Cursor.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextBlock>

namespace {

using editor_test::EditorFixture;

// The block always has six lines; a person without a first name gives the
// surname alone.
TEST(AddressBlock, SixLinesWithOrWithoutFirstName)
{
    EXPECT_EQ(editor::addressBlockLines({QStringLiteral("Novák"), QStringLiteral("Jan"),
                                         QStringLiteral("Dlouhá 5"), QStringLiteral("222")}),
              (QStringList{QString(), QStringLiteral("Jan Novák"), QStringLiteral("Dlouhá 5"),
                           QStringLiteral("telefon: 222"), QString(), QString()}));
    EXPECT_EQ(editor::addressBlockLines({QStringLiteral("Firma s.r.o."), {}, {}, {}}),
              (QStringList{QString(), QStringLiteral("Firma s.r.o."), QString(), QStringLiteral("telefon: "),
                           QString(), QString()}));
}

class EditorEditing : public EditorFixture {};

// Opening from the main window twice appends two blocks at the end, wherever
// the caret is, in the 10-point base font.
TEST_F(EditorEditing, OpeningTwiceAppendsTwoBlocks)
{
    store::Cursor addresses(*m_database, "Dat.DB");
    addresses.open();
    ASSERT_TRUE(addresses.findKey("Novák"));
    m_form->openWithAddress(editor::currentAddress(addresses));
    m_form->editorArea()->moveCursor(QTextCursor::Start);
    ASSERT_TRUE(addresses.findKey("Dvořáková"));
    m_form->openWithAddress(editor::currentAddress(addresses));
    EXPECT_EQ(paragraphs(), (QStringList{QString(), QStringLiteral("Jan Novák"), QStringLiteral("Dlouhá 5, Praha"),
                                         QStringLiteral("telefon: 222 333 444"), QString(), QString(), QString(),
                                         QStringLiteral("Dvořáková"), QStringLiteral("Krátká 1, Brno"),
                                         QStringLiteral("telefon: "), QString(), QString()}));
    EXPECT_EQ(m_form->editorArea()->document()->defaultFont().pointSize(), 10);
    EXPECT_TRUE(m_form->isVisible());
}

// Typing a surname's beginning into the look-up box finds it; Enter appends
// its block. The list reads the editor's own cursor on the address table.
TEST_F(EditorEditing, LookupBoxFindsTheTypedSurnameAndAppendsItsBlock)
{
    m_form->show();
    auto* box = control<widgets::DBLookupComboBox>("DBLookupComboBox1");
    EXPECT_EQ(box->count(), 3);
    QLineEdit* edit = box->lineEdit();
    edit->setFocus();
    typeInto(edit, QStringLiteral("čer")); // Czech order: "č" is a letter of its own after "c"
    EXPECT_EQ(edit->text(), QStringLiteral("Černý"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ný"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(paragraphs().mid(1, 3), (QStringList{QStringLiteral("Petr Černý"), QStringLiteral("Nová 7, Plzeň"),
                                                   QStringLiteral("telefon: 377 111 222")}));
    // Choosing from the list appends one more.
    box->setCurrentIndex(1);
    Q_EMIT box->activated(1);
    EXPECT_EQ(paragraphs().size(), 12);
    EXPECT_EQ(paragraphs().at(7), QStringLiteral("Dvořáková"));
}

// Find starts at the beginning without a selection, continues after the
// occurrence just found, and reports the end; it is case-sensitive.
TEST_F(EditorEditing, FindNextWalksTheOccurrences)
{
    m_form->show();
    typeInto(m_form->editorArea(), QStringLiteral("pes Pes pes"));
    m_form->editorArea()->moveCursor(QTextCursor::End);
    m_form->NajitClick();
    auto* find = control<QLineEdit>("FindText");
    find->setText(QStringLiteral("pes"));
    auto* next = control<QAbstractButton>("FindNextButton");
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(m_form->editorArea()->textCursor().selectionStart(), 0); // nothing selected: from the start
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(m_form->editorArea()->textCursor().selectionStart(), 8); // "Pes" is not "pes"
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Nenašel jsem \"pes\" v tomto textu."));
    EXPECT_EQ(m_fakes.dialogs.lastBox().buttons, QList<platform::Button>{platform::Button::Ok});
    EXPECT_EQ(m_form->editorArea()->textCursor().selectionStart(), 8);
}

// Each press of either replace button replaces the first occurrence only.
TEST_F(EditorEditing, ReplaceChangesTheFirstOccurrencePerPress)
{
    m_form->show();
    typeInto(m_form->editorArea(), QStringLiteral("a-b-a-b"));
    m_form->NahraditClick();
    control<QLineEdit>("ReplaceFindText")->setText(QStringLiteral("b"));
    control<QLineEdit>("ReplaceWithText")->setText(QStringLiteral("XY"));
    click("ReplaceAllButton");
    EXPECT_EQ(text(), QStringLiteral("a-XY-a-b"));
    click("ReplaceFindNextButton");
    EXPECT_EQ(text(), QStringLiteral("a-XY-a-b"));
    click("ReplaceButton");
    EXPECT_EQ(text(), QStringLiteral("a-XY-a-XY"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    click("ReplaceButton");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Nenašel jsem \"b\" v tomto textu."));
    EXPECT_EQ(text(), QStringLiteral("a-XY-a-XY"));
}

// Cut and copy follow the selection, undo the history, paste the clipboard;
// the caret panel counts lines and characters from 1.
TEST_F(EditorEditing, CommandStatesFollowTheTextAndTheClipboard)
{
    m_form->show();
    QApplication::clipboard()->clear();
    EXPECT_FALSE(control<QWidget>("PasteButton")->isEnabled());
    QApplication::clipboard()->setText(QStringLiteral("schránka"));
    EXPECT_TRUE(control<QWidget>("PasteButton")->isEnabled());
    EXPECT_TRUE(action("EditPasteItem")->isEnabled());

    typeInto(m_form->editorArea(), QStringLiteral("ab"));
    QTest::keyClick(m_form->editorArea(), Qt::Key_Return);
    typeInto(m_form->editorArea(), QStringLiteral("cde"));
    EXPECT_EQ(statusPanel("StatusPanelCaret"), QStringLiteral("Řádek:   2   Znaků:   4"));
    EXPECT_TRUE(control<QWidget>("UndoButton")->isEnabled());
    EXPECT_FALSE(action("EditCopyItem")->isEnabled());
    QTest::keyClick(m_form->editorArea(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_TRUE(control<QWidget>("CopyButton")->isEnabled());
    EXPECT_TRUE(action("EditCutItem")->isEnabled());
    action("Sma1")->trigger();
    EXPECT_EQ(text(), QStringLiteral("ab\ncd"));
    click("PasteButton");
    EXPECT_EQ(text(), QStringLiteral("ab\ncdschránka"));
    action("VybratVse")->trigger();
    EXPECT_EQ(m_form->editorArea()->textCursor().selectedText().size(), text().size());
}

// A picture file chosen for "Vložit objekt" goes in at the caret; another
// file is refused with a message.
TEST_F(EditorEditing, InsertObjectEmbedsAPicture)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    m_fakes.dialogs.answerNextOpenFile(writeFile(QStringLiteral("obr.png"), png));
    m_fakes.dialogs.answerNextOpenFile(writeFile(QStringLiteral("obr.txt"), "text"));
    m_form->show();
    action("VlozitObjekt")->trigger();
    const QTextBlock block = m_form->editorArea()->document()->begin();
    ASSERT_FALSE(block.begin().atEnd());
    EXPECT_TRUE(block.begin().fragment().charFormat().isImageFormat());
    action("VlozitObjekt")->trigger();
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("není obrázek")));
    EXPECT_EQ(m_fakes.dialogs.fileRequests().last().caption, QStringLiteral("Vložit objekt"));
}

// Short hints are tooltips; long hints of any window stand alone in the
// editor's status bar until the hint is empty again.
TEST_F(EditorEditing, LongHintsGoToTheStatusBar)
{
    auto* open = control<QWidget>("OpenButton");
    EXPECT_EQ(open->toolTip(), QStringLiteral("Otevřít"));
    EXPECT_EQ(open->statusTip(), QStringLiteral("Otevřít existující soubor"));
    EXPECT_EQ(control<QWidget>("BoldButton")->statusTip(), QStringLiteral("Tučné"));
    QWidget elsewhere;
    QStatusTipEvent tip(QStringLiteral("Na další záznam"));
    QApplication::sendEvent(&elsewhere, &tip);
    EXPECT_EQ(m_form->statusBar()->currentMessage(), QStringLiteral("Na další záznam"));
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(&elsewhere, &none);
    EXPECT_EQ(m_form->statusBar()->currentMessage(), QString());
}

} // namespace
