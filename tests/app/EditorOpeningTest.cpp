// "Textový editor" (F3) in the main window: the editor window opens with
// the address block of the grid's current record, and again appends one.

#include "AppFixture.h"

#include "editor/EditorForm.h"

#include <QAction>
#include <QTextBlock>

namespace apptest {
namespace {

class EditorOpeningTest : public AppFixture {};

TEST_F(EditorOpeningTest, F3AppendsTheCurrentAddress)
{
    startWith(standardAddresses());
    editor::TEditorForm* editorForm = m_app->editorForm();
    ASSERT_NE(editorForm, nullptr);
    EXPECT_FALSE(editorForm->isVisible());
    table().last();
    const QString surname = currentSurname();
    action("TextovyEditor")->trigger();
    EXPECT_TRUE(editorForm->isVisible());
    const QStringList lines = editorForm->editorArea()->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[1].endsWith(surname)) << lines[1].toStdString();
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("telefon: ")));
    action("TextovyEditor")->trigger();
    EXPECT_EQ(editorForm->editorArea()->document()->blockCount(), 12);
}

} // namespace
} // namespace apptest
