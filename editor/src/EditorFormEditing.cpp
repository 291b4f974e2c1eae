// The letter editor's menu and its editing commands: undo, the clipboard,
// delete and select all, find and replace.

#include "editor/EditorForm.h"

#include "EditorTexts.h"

#include "platform/Platform.h"
#include "widgets/ErrorReport.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace editor {

void TEditorForm::createMenu()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                       auto handler) {
        auto* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this, [this, handler] { widgets::guarded([&] { (this->*handler)(); }); });
        return action;
    };
    QMenu* file = menuBar()->addMenu(texts::kMenuFile);
    file->setObjectName(QStringLiteral("Soubor"));
    item(file, "FileNewItem", texts::kNew, QKeySequence(Qt::CTRL | Qt::Key_N), &TEditorForm::FileNew);
    item(file, "FileOpenItem", texts::kOpen, QKeySequence(Qt::CTRL | Qt::Key_O), &TEditorForm::FileOpen);
    item(file, "FileSaveItem", texts::kSave, QKeySequence(Qt::CTRL | Qt::Key_U), &TEditorForm::FileSave);
    item(file, "FileSaveAsItem", texts::kSaveAs, {}, &TEditorForm::FileSaveAs);
    file->addSeparator();
    item(file, "FilePrintItem", texts::kPrint, QKeySequence(Qt::CTRL | Qt::Key_T), &TEditorForm::FilePrint);
    file->addSeparator();
    item(file, "FileExitItem", texts::kExit, QKeySequence(Qt::ALT | Qt::Key_X), &TEditorForm::FileExit);

    QMenu* edit = menuBar()->addMenu(texts::kMenuEdit);
    edit->setObjectName(QStringLiteral("Upravy"));
    EditUndoItem = item(edit, "EditUndoItem", texts::kUndo, QKeySequence(Qt::CTRL | Qt::Key_Z),
                        &TEditorForm::EditUndo);
    EditUndoItem->setEnabled(false);
    edit->addSeparator();
    EditCutItem = item(edit, "EditCutItem", texts::kCut, QKeySequence(Qt::CTRL | Qt::Key_S),
                       &TEditorForm::EditCut);
    EditCopyItem = item(edit, "EditCopyItem", texts::kCopy, QKeySequence(Qt::CTRL | Qt::Key_K),
                        &TEditorForm::EditCopy);
    EditPasteItem = item(edit, "EditPasteItem", texts::kPaste, QKeySequence(Qt::CTRL | Qt::Key_V),
                         &TEditorForm::EditPaste);
    item(edit, "Sma1", texts::kDelete, QKeySequence(Qt::CTRL | Qt::Key_M), &TEditorForm::Sma1Click);
    edit->addSeparator();
    item(edit, "Najit", texts::kFind, {}, &TEditorForm::NajitClick);
    item(edit, "Nahradit", texts::kReplace, {}, &TEditorForm::NahraditClick);
    edit->addSeparator();
    item(edit, "VybratVse", texts::kSelectAll, {}, &TEditorForm::VybratVseClick);

    QMenu* look = menuBar()->addMenu(texts::kMenuLook);
    look->setObjectName(QStringLiteral("Vzhled"));
    item(look, "Pismo", texts::kFont, {}, &TEditorForm::SelectFont);
    item(look, "VlozitObjekt", texts::kInsertObject, {}, &TEditorForm::VlozitObjektClick);
}

void TEditorForm::createFindDialogs()
{
    // The find dialog shows only the text to find and find-next; the replace
    // dialog adds the replacement and its two buttons. Both stay open beside
    // the text, as the system's dialogs do.
    auto dialog = [this](const char* name, const QString& caption) {
        auto* d = new QDialog(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setWindowTitle(caption);
        d->setModal(false);
        return d;
    };
    auto button = [](QDialogButtonBox* box, const char* name, const QString& text) {
        QPushButton* b = box->addButton(text, QDialogButtonBox::ActionRole);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };

    FindDialog1 = dialog("FindDialog1", texts::kFind);
    m_findText = new QLineEdit(FindDialog1);
    m_findText->setObjectName(QStringLiteral("FindText"));
    auto* findForm = new QFormLayout;
    findForm->addRow(texts::kFindWhat, m_findText);
    auto* findButtons = new QDialogButtonBox(FindDialog1);
    QPushButton* findNext = button(findButtons, "FindNextButton", texts::kFindNext);
    findNext->setDefault(true);
    connect(findNext, &QPushButton::clicked, this, [this] { widgets::guarded([&] { FindDialog1Find(); }); });
    connect(button(findButtons, "FindCloseButton", texts::kClose), &QPushButton::clicked, FindDialog1,
            &QDialog::hide);
    auto* findLayout = new QVBoxLayout(FindDialog1);
    findLayout->addLayout(findForm);
    findLayout->addWidget(findButtons);

    ReplaceDialog1 = dialog("ReplaceDialog1", texts::kReplace);
    m_replaceFind = new QLineEdit(ReplaceDialog1);
    m_replaceFind->setObjectName(QStringLiteral("ReplaceFindText"));
    m_replaceWith = new QLineEdit(ReplaceDialog1);
    m_replaceWith->setObjectName(QStringLiteral("ReplaceWithText"));
    auto* replaceForm = new QFormLayout;
    replaceForm->addRow(texts::kFindWhat, m_replaceFind);
    replaceForm->addRow(texts::kReplaceWith, m_replaceWith);
    auto* replaceButtons = new QDialogButtonBox(Qt::Vertical, ReplaceDialog1);
    // Find-next of the replace dialog does nothing; both replace buttons
    // replace the first occurrence in the document.
    button(replaceButtons, "ReplaceFindNextButton", texts::kFindNext);
    const std::pair<const char*, QString> replaceKinds[] = {{"ReplaceButton", texts::kReplaceOne},
                                                           {"ReplaceAllButton", texts::kReplaceAll}};
    for (const auto& [name, text] : replaceKinds) {
        QPushButton* b = button(replaceButtons, name, text);
        connect(b, &QPushButton::clicked, this, [this] { widgets::guarded([&] { ReplaceDialog1Replace(); }); });
    }
    connect(button(replaceButtons, "ReplaceCloseButton", texts::kClose), &QPushButton::clicked,
            ReplaceDialog1, &QDialog::hide);
    auto* replaceLayout = new QHBoxLayout(ReplaceDialog1);
    replaceLayout->addLayout(replaceForm);
    replaceLayout->addWidget(replaceButtons);
}

void TEditorForm::EditUndo()
{
    if (Editor->isVisible())
        Editor->undo();
}

void TEditorForm::EditCut()
{
    Editor->cut();
}

void TEditorForm::EditCopy()
{
    Editor->copy();
}

void TEditorForm::EditPaste()
{
    Editor->paste();
}

void TEditorForm::Sma1Click()
{
    Editor->textCursor().removeSelectedText();
}

void TEditorForm::VybratVseClick()
{
    Editor->selectAll();
}

void TEditorForm::NajitClick()
{
    FindDialog1->show();
    FindDialog1->raise();
    FindDialog1->activateWindow();
}

void TEditorForm::NahraditClick()
{
    ReplaceDialog1->show();
    ReplaceDialog1->raise();
    ReplaceDialog1->activateWindow();
}

void TEditorForm::FindDialog1Find()
{
    const QTextCursor selection = Editor->textCursor();
    findFrom(selection.hasSelection() ? selection.selectionEnd() : 0, true);
}

void TEditorForm::ReplaceDialog1Replace()
{
    findFrom(0, false);
}

// Finds the text forward and case-sensitively from a position; Find selects
// the occurrence, Replace puts the replacement in its place.
void TEditorForm::findFrom(int start, bool fromFind)
{
    const QString text = fromFind ? m_findText->text() : m_replaceFind->text();
    const QTextCursor found =
        text.isEmpty() ? QTextCursor()
                       : Editor->document()->find(text, start, QTextDocument::FindCaseSensitively);
    if (found.isNull()) {
        platform::services().dialogs->error(texts::kNotFound.arg(text));
        return;
    }
    Editor->setTextCursor(found);
    if (fromFind) {
        Editor->setFocus();
        return;
    }
    QTextCursor replace = Editor->textCursor();
    replace.insertText(m_replaceWith->text());
    Editor->setTextCursor(replace);
}

} // namespace editor
