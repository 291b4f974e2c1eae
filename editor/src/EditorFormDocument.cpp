// The letter editor's documents: new, open, save, print, end, dropped files,
// pictures and the address block.

#include "editor/EditorForm.h"

#include "EditorTexts.h"

#include "platform/Platform.h"
#include "richtext/Pictures.h"
#include "richtext/Rtf.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/ErrorReport.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>

namespace editor {

namespace {

platform::Dialogs& dialogs()
{
    return *platform::services().dialogs;
}

QString documentsDir()
{
    const platform::Paths* paths = platform::services().paths;
    return paths ? paths->documentsDir() : QString();
}

} // namespace

void TEditorForm::FileNew()
{
    SetDocumentName(texts::kUntitled);
    Editor->clear();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
}

bool TEditorForm::AskSaveChanges()
{
    if (!Editor->document()->isModified())
        return true;
    switch (dialogs().confirmYesNoCancel(texts::kAskSave.arg(m_documentName))) {
    case platform::Button::Yes:
        // A save that did not happen (its dialog cancelled, or the file not
        // written) stops the command: the text must not be thrown away.
        return FileSave();
    case platform::Button::No:
        return true;
    default:
        return false;
    }
}

void TEditorForm::FileOpen()
{
    if (!AskSaveChanges())
        return;
    const auto file = dialogs().openFileName(texts::kOpenCaption, documentsDir(), texts::kFilter);
    if (file)
        LoadDocument(*file);
    Editor->setReadOnly(false);
}

bool TEditorForm::LoadDocument(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs().errorBox(texts::kCannotRead.arg(fileName, file.errorString()));
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        dialogs().errorBox(texts::kCannotRead.arg(fileName, file.errorString()));
        return false;
    }
    richtext::loadDocument(data, *Editor->document());
    SetDocumentName(fileName);
    Editor->setFocus();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    RichEditChange();
    return true;
}

bool TEditorForm::writeDocument(const QString& fileName)
{
    // Written beside the old file and then put in its place, so a failed
    // save leaves the old file whole.
    QSaveFile file(fileName);
    const QByteArray rtf = richtext::writeRtf(*Editor->document());
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size() || !file.commit()) {
        dialogs().errorBox(texts::kCannotWrite.arg(fileName, file.errorString()));
        return false;
    }
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    return true;
}

bool TEditorForm::FileSave()
{
    if (m_documentName == texts::kUntitled)
        return FileSaveAs();
    return writeDocument(m_documentName);
}

bool TEditorForm::FileSaveAs()
{
    auto chosen = dialogs().saveFileName(texts::kSaveCaption, documentsDir(), texts::kFilter);
    if (!chosen || chosen->isEmpty())
        return false;
    QString fileName = *chosen;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += u'.' + texts::kExtension;
    if (QFileInfo::exists(fileName) &&
        dialogs().confirmYesNoCancel(texts::kAskOverwrite.arg(fileName)) != platform::Button::Yes)
        return false;
    if (!writeDocument(fileName))
        return false;
    SetDocumentName(fileName);
    return true;
}

void TEditorForm::FilePrint()
{
    platform::Printer& printer = *platform::services().printer;
    QPrinter* target = printer.qprinter();
    if (!dialogs().print(*target, this))
        return;
    if (!printer.usable()) {
        dialogs().errorBox(printer.errorString());
        return;
    }
    target->setDocName(m_documentName);
    Editor->document()->print(target);
}

void TEditorForm::FileExit()
{
    if (!AskSaveChanges())
        return;
    Editor->clear();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    hide();
}

void TEditorForm::filesDropped(const QStringList& files)
{
    if (files.isEmpty() || !AskSaveChanges())
        return;
    LoadDocument(files.first());
}

void TEditorForm::VlozitObjektClick()
{
    const auto file = dialogs().openFileName(texts::kObjectCaption, documentsDir(), texts::kObjectFilter);
    if (!file)
        return;
    QFile picture(*file);
    if (!picture.open(QIODevice::ReadOnly)) {
        dialogs().errorBox(texts::kCannotRead.arg(*file, picture.errorString()));
        return;
    }
    QTextCursor cursor = Editor->textCursor();
    if (!richtext::insertPicture(cursor, picture.readAll()))
        dialogs().errorBox(texts::kNotAPicture.arg(*file));
    Editor->setFocus();
}

void TEditorForm::setBaseFontSize(int points)
{
    QFont font = Editor->document()->defaultFont();
    font.setPointSize(points);
    Editor->document()->setDefaultFont(font);
}

void TEditorForm::appendLines(const QStringList& lines)
{
    QTextDocument* document = Editor->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    // The lines take the default attributes, whatever the text before them has.
    bool first = document->isEmpty();
    for (const QString& line : lines) {
        if (first)
            cursor.setBlockFormat(QTextBlockFormat());
        else
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.setCharFormat(QTextCharFormat());
        cursor.insertText(line, QTextCharFormat());
        first = false;
    }
    cursor.endEditBlock();
}

void TEditorForm::openWithAddress(const Address& address)
{
    showMaximized();
    raise();
    activateWindow();
    setBaseFontSize(10);
    appendLines(addressBlockLines(address));
}

void TEditorForm::DBLookupComboBox1Click()
{
    setBaseFontSize(10);
    appendLines(addressBlockLines(currentAddress(*m_tableEd)));
}

} // namespace editor
