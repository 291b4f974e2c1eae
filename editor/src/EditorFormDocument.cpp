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
#include <QTextDocument>

#include <memory>

namespace editor {

namespace {

platform::Dialogs& dialogs()
{
    return *platform::services().dialogs;
}

// Reads a document into a document of its own, with the program's progress
// window while it lasts; nothing of the editor changes on the way.
richtext::LoadResult readDocument(const QString& fileName, QTextDocument& document, QWidget* window)
{
    const richtext::DocumentLimits limits;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {richtext::LoadResult::Status::NotText, file.errorString()};
    if (file.size() > limits.fileBytes)
        return {richtext::LoadResult::Status::TooLarge, richtext::fileTooLargeReason(limits)};
    const QByteArray data = file.read(limits.fileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {richtext::LoadResult::Status::NotText, file.errorString()};
    std::unique_ptr<platform::ProgressTask> progress;
    if (platform::Progress* service = platform::services().progress) {
        progress = service->begin(texts::kLoading, window);
        progress->setLabel(QFileInfo(fileName).fileName());
    }
    return richtext::loadDocument(data, document, [&](qint64 done, qint64 total) {
        return !progress || progress->setProgress(done, total);
    }, limits);
}

} // namespace

void TEditorForm::clearDocument()
{
    Editor->clear();
    Editor->document()->setDefaultFont(m_startFont);
    Editor->setCurrentCharFormat(QTextCharFormat());
    Editor->document()->setModified(false);
    ShowModifiedState(false);
}

void TEditorForm::FileNew()
{
    SetDocumentName(texts::kUntitled);
    clearDocument();
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

bool TEditorForm::settleBeforeQuit()
{
    if (!Editor->document()->isModified())
        return true;
    if (!isVisible())
        showMaximized();
    widgets::bringForward(*this);
    return AskSaveChanges();
}

void TEditorForm::FileOpen()
{
    if (!AskSaveChanges())
        return;
    const auto file = dialogs().openFileName(texts::kOpenCaption, m_folders.openStart(), texts::kFilter);
    if (file) {
        m_folders.used(*file);
        LoadDocument(*file);
    }
    Editor->setReadOnly(false);
}

bool TEditorForm::LoadDocument(const QString& fileName)
{
    // A file that is not read whole, or is no document, changes nothing:
    // the letter and its name stay, so a save cannot overwrite that file.
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(m_startFont);
    const richtext::LoadResult result = readDocument(fileName, *document, this);
    if (!result.loaded()) {
        if (result.status != richtext::LoadResult::Status::Cancelled)
            dialogs().errorBox(texts::kCannotRead.arg(fileName, result.reason));
        return false;
    }
    Editor->takeDocument(document.release());
    connectDocument();
    SetDocumentName(fileName);
    Editor->setFocus();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    RichEditChange();
    SelectionChange();
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
    // The editor asks before it overwrites, in its own words: the dialog must not ask first.
    const QString ownFile = m_documentName == texts::kUntitled ? QString() : m_documentName;
    auto chosen = dialogs().saveFileName(texts::kSaveCaption, m_folders.saveStart(ownFile), texts::kFilter,
                                         platform::OverwriteQuestion::Caller);
    if (!chosen || chosen->isEmpty())
        return false;
    m_folders.used(*chosen);
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
    clearDocument();
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
    const auto file = dialogs().openFileName(texts::kObjectCaption, m_folders.openStart(), texts::kObjectFilter);
    if (!file)
        return;
    m_folders.used(*file);
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
