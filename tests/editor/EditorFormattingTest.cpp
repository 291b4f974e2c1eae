// Formatting: the toolbar follows the selection without changing the text,
// its commands change the selection or the default attributes, and the
// ruler's markers turn into indents by the ruler's arithmetic.

#include "EditorFixture.h"

#include "editor/RulerGeometry.h"
#include "editor/TextAttributes.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

namespace {

using editor_test::EditorFixture;

// The ruler's arithmetic, case by case (pixels at 4/3 a point, truncated toward zero).
TEST(RulerGeometry, MarkersAndIndents)
{
    using namespace editor::ruler;
    EXPECT_EQ(firstMarkerLeft(0), 2);
    EXPECT_EQ(firstMarkerLeft(10), 15);  // 13.33 -> 13
    EXPECT_EQ(firstMarkerLeft(-4), -3);  // -5.33 -> -5
    EXPECT_EQ(leftMarkerLeft(10, 20), 42);
    EXPECT_EQ(rightMarkerLeft(600, 0), 586);
    EXPECT_EQ(rightMarkerLeft(600, 30), 546);
    EXPECT_EQ(dragOffset(10), 5);
    EXPECT_EQ(dragOffset(9), 4);
    EXPECT_EQ(draggedLeft(100, 8, 5), 103);
    EXPECT_EQ(firstIndentAt(2, 5), 0);
    EXPECT_EQ(firstIndentAt(15, 5), 10);
    EXPECT_EQ(firstIndentAt(0, 5), 0);   // -0.75 -> 0
    EXPECT_EQ(leftIndentAt(42, 5, 10), 20);
    EXPECT_EQ(rightIndentAt(600, 586, 5), 0);
    EXPECT_EQ(rightIndentAt(600, 546, 5), 30);
    EXPECT_EQ(lineWidth(600), 592);
    // Every indent put on the ruler comes back unchanged when its marker is dropped in place.
    for (int first = 0; first < 200; first += 7) {
        for (int left = -first; left < 150; left += 11) {
            EXPECT_EQ(firstIndentAt(firstMarkerLeft(first), 5), first);
            EXPECT_EQ(leftIndentAt(leftMarkerLeft(first, left), 5, first), left) << first << " " << left;
        }
    }
    for (int right = 0; right < 200; right += 3)
        EXPECT_EQ(rightIndentAt(700, rightMarkerLeft(700, right), 5), right);
}

class EditorFormatting : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        m_form->show();
        m_form->resize(900, 500);
    }
    QTextCursor cursorAt(int position, int length = 0)
    {
        QTextCursor cursor(m_form->editorArea()->document());
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        return cursor;
    }
    void select(int position, int length = 0) { m_form->editorArea()->setTextCursor(cursorAt(position, length)); }
    bool checked(const char* name) { return control<QAbstractButton>(name)->isChecked(); }
    QTextCharFormat formatAt(int position) { return cursorAt(position + 1).charFormat(); }
};

// With a selection Bold changes the selected characters only; without one
// it changes the default attributes.
TEST_F(EditorFormatting, BoldChangesTheSelectionOrTheDefaultAttributes)
{
    typeInto(m_form->editorArea(), QStringLiteral("abc def"));
    select(0, 3);
    click("BoldButton");
    EXPECT_TRUE(formatAt(0).font().bold());
    EXPECT_FALSE(formatAt(5).font().resolve(m_form->editorArea()->document()->defaultFont()).bold());
    EXPECT_TRUE(checked("BoldButton"));

    select(5);
    EXPECT_FALSE(checked("BoldButton"));
    click("ItalicButton");
    EXPECT_TRUE(m_form->editorArea()->document()->defaultFont().italic());
    typeInto(m_form->editorArea(), QStringLiteral("x"));
    EXPECT_TRUE(formatAt(5).font().resolve(m_form->editorArea()->document()->defaultFont()).italic());
}

// Moving into a bold, centred, indented paragraph brings the toolbar and
// the ruler into line without changing the text; a justified paragraph
// leaves the alignment group as it was.
TEST_F(EditorFormatting, ToolbarAndRulerFollowTheSelection)
{
    QTextDocument* document = m_form->editorArea()->document();
    QTextCursor cursor(document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(40);    // 30 pt
    centred.setTextIndent(-16);   // first line 18 pt, following lines 12 pt further in
    centred.setRightMargin(20);   // 15 pt
    cursor.setBlockFormat(centred);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(14);
    cursor.insertText(QStringLiteral("nadpis"), bold);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    cursor.insertBlock(justified, QTextCharFormat());
    cursor.insertText(QStringLiteral("do bloku"));
    const QString before = editor_test::EditorFixture::text();
    document->setModified(false);

    select(2);
    EXPECT_TRUE(checked("BoldButton"));
    EXPECT_TRUE(checked("CenterAlign"));
    EXPECT_FALSE(checked("LeftAlign"));
    EXPECT_EQ(control<QLineEdit>("FontSize")->text(), QStringLiteral("14"));
    auto* ruler = control<editor::Ruler>("Ruler");
    EXPECT_EQ(ruler->markerLeft(editor::Ruler::Marker::First), editor::ruler::firstMarkerLeft(18));
    EXPECT_EQ(ruler->markerLeft(editor::Ruler::Marker::Left), editor::ruler::leftMarkerLeft(18, 12));
    EXPECT_EQ(ruler->markerLeft(editor::Ruler::Marker::Right),
              editor::ruler::rightMarkerLeft(ruler->contentsRect().width(), 15));

    select(10);
    EXPECT_FALSE(checked("BoldButton"));
    EXPECT_TRUE(checked("CenterAlign")); // justified: the group stays
    EXPECT_EQ(editor_test::EditorFixture::text(), before);
    EXPECT_FALSE(document->isModified());

    click("RightAlign");
    EXPECT_EQ(document->findBlockByNumber(1).blockFormat().alignment(), Qt::AlignRight);
    EXPECT_EQ(document->findBlockByNumber(0).blockFormat().alignment(), Qt::AlignHCenter);
    click("BulletsButton");
    EXPECT_NE(document->findBlockByNumber(1).textList(), nullptr);
    click("BulletsButton");
    EXPECT_EQ(document->findBlockByNumber(1).textList(), nullptr);
}

// Typing 12 makes the size 12 points; an emptied field reports the
// conversion error and changes nothing; a font name not chosen from the
// list changes nothing, one chosen does.
TEST_F(EditorFormatting, FontSizeAndFontName)
{
    typeInto(m_form->editorArea(), QStringLiteral("slovo"));
    select(0, 5);
    auto* size = control<QLineEdit>("FontSize");
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("12"));
    EXPECT_EQ(formatAt(0).fontPointSize(), 12);
    QTest::keyClick(size, Qt::Key_Backspace);
    QTest::keyClick(size, Qt::Key_Backspace);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("„“ není platné celé číslo."));
    EXPECT_EQ(formatAt(0).fontPointSize(), 1);
    click("UpDown1Up");
    EXPECT_EQ(size->text(), QStringLiteral("1"));

    auto* name = control<QComboBox>("FontName");
    ASSERT_GT(name->count(), 0);
    const QString family = name->itemText(0);
    name->setEditText(QStringLiteral("Nic takového"));
    EXPECT_NE(formatAt(0).font().family(), QStringLiteral("Nic takového"));
    Q_EMIT name->activated(0);
    EXPECT_EQ(formatAt(0).font().family(), family);
}

// Dropping the first-line marker moves only the first line of the selected
// paragraphs; the following lines keep their place.
TEST_F(EditorFormatting, DroppingTheFirstLineMarkerMovesOnlyTheFirstLine)
{
    typeInto(m_form->editorArea(), QStringLiteral("jeden"));
    QTest::keyClick(m_form->editorArea(), Qt::Key_Return);
    typeInto(m_form->editorArea(), QStringLiteral("dva"));
    editor::setLeftIndent(cursorAt(0, 9), 12);
    editor::setFirstIndent(cursorAt(0, 9), 6);
    select(0, 9);
    const editor::ParagraphAttributes before = editor::paragraphAttributes(cursorAt(0));
    ASSERT_EQ(before.firstIndent, 6);
    ASSERT_EQ(before.leftIndent, 12); // following lines at 18 pt

    auto* ruler = control<editor::Ruler>("Ruler");
    QWidget* first = ruler->marker(editor::Ruler::Marker::First);
    // Drag 30 pixels to the right, as the mouse does.
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(5, 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(35, 3), first->mapToGlobal(QPointF(35, 3)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(first, &move);
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(5, 3));

    for (const int block : {0, 6}) {
        const editor::ParagraphAttributes after = editor::paragraphAttributes(cursorAt(block));
        EXPECT_EQ(after.firstIndent, editor::ruler::firstIndentAt(editor::ruler::firstMarkerLeft(6) + 30, 5));
        EXPECT_EQ(after.firstIndent + after.leftIndent, 18) << "the following lines moved";
    }
    EXPECT_EQ(ruler->markerLeft(editor::Ruler::Marker::First),
              editor::ruler::firstMarkerLeft(editor::paragraphAttributes(cursorAt(0)).firstIndent));
    EXPECT_FALSE(ruler->dragging());
}

} // namespace
