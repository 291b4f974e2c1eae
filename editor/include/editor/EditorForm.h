#pragma once

#include "editor/AddressBlock.h"
#include "editor/DocumentFolders.h"
#include "editor/Ruler.h"
#include "editor/TextAttributes.h"

#include "store/Cursor.h"
#include "widgets/UnsavedWork.h"

#include <QMainWindow>
#include <QTextEdit>

#include <memory>

class QAction;
class QButtonGroup;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QToolBar;
class QToolButton;

namespace store {
class Database;
}
namespace widgets {
class DBLookupComboBox;
}

namespace editor {

// The rich-text area: files dropped on it open as documents instead of
// being inserted as text, and a picture pasted goes in as a picture.
class EditorArea : public QTextEdit {
    Q_OBJECT
public:
    explicit EditorArea(QWidget* parent = nullptr);
    void setTextMargins(int left, int right) { setViewportMargins(left, 0, right, 0); }
    // Shows a document loaded apart from the area (so its loading lays
    // nothing out); the area owns it and lets the previous one go.
    void takeDocument(QTextDocument* document);

    // A paste or a drop: local files become documents, a picture without
    // text is a picture, the rest is text.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

signals:
    void filesDropped(const QStringList& files);
};

// The letter editor: one RTF document at a time, with formatting, find and
// replace, printing, pictures and the address block of a person. Created
// once at start-up; showing and hiding keep its document.
class TEditorForm : public QMainWindow, public widgets::UnsavedWork {
    Q_OBJECT
public:
    // Opens its own cursor on the address table; a StoreError stops start-up.
    explicit TEditorForm(store::Database& database, QWidget* parent = nullptr);
    ~TEditorForm() override;

    void FormCreate();
    // The program's first plain argument, loaded each time the window is shown.
    void setCommandLineDocument(const QString& fileName) { m_commandLineDocument = fileName; }

    // The main window's "Textový editor": shows the window and appends the
    // address block of its current record.
    void openWithAddress(const Address& address);
    void setBaseFontSize(int points);
    void appendLines(const QStringList& lines);

    QString documentName() const { return m_documentName; }
    EditorArea* editorArea() const { return Editor; }
    store::Cursor& TableEd() { return *m_tableEd; }

    // The program is ending: a changed letter is shown and the save
    // question asked; Cancel, a cancelled Save As or a failed save keep the
    // program running.
    bool settleBeforeQuit() override;

    // Document commands.
    void FileNew();
    void FileOpen();
    bool FileSave();
    bool FileSaveAs();
    void FilePrint();
    void FileExit();
    void EndButtonClick() { FileExit(); }
    bool LoadDocument(const QString& fileName);

    // Editing commands.
    void EditUndo();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void Sma1Click();
    void VybratVseClick();
    void NajitClick();
    void FindDialog1Find();
    void NahraditClick();
    void ReplaceDialog1Replace();
    void VlozitObjektClick();
    void DBLookupComboBox1Click();
    void filesDropped(const QStringList& files);

    // Formatting.
    void SelectFont();
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void FontSizeChange();
    void FontNameChange(int index);
    void AlignButtonClick(int value);
    void BulletsButtonClick();
    void FirstIndMouseUp();
    void LeftIndMouseUp();
    void RightIndMouseUp();

    void SelectionChange();
    void RichEditChange();
    void ShowHint(const QString& hint);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class SaveAnswer { Saved, NotSaved, Stop };

    void createToolbar();
    void createFormattingControls(QToolBar* bar);
    void createMenu();
    void createStatusBar();
    void createFindDialogs();
    void FormShow();

    void SetTextMargins();
    void SetDocumentName(const QString& name);
    // The area's document signals reach the window; again after each load.
    void connectDocument();
    // An empty letter in the default font, as at the start.
    void clearDocument();
    // False when the command that asked must stop.
    bool AskSaveChanges();
    bool writeDocument(const QString& fileName);
    void ShowCaretPosition();
    void ShowModifiedState(bool modified);
    void UpdatePasteState();
    void FillFontNames();
    void BuildRuler();
    void changeCharacters(const QTextCharFormat& change);
    void findFrom(int start, bool fromFind);
    void markerDropped(Ruler::Marker marker);

    std::unique_ptr<store::Cursor> m_tableEd;
    QString m_documentName;
    QString m_commandLineDocument;
    DocumentFolders m_folders;
    QFont m_startFont; // the default attributes of a new letter
    bool m_updating = false;

    QToolBar* ToolBar = nullptr;
    QToolButton* NewButton = nullptr;
    QToolButton* OpenButton = nullptr;
    QToolButton* SaveButton = nullptr;
    QToolButton* PrintButton = nullptr;
    QToolButton* UndoButton = nullptr;
    QToolButton* CutButton = nullptr;
    QToolButton* CopyButton = nullptr;
    QToolButton* PasteButton = nullptr;
    QComboBox* FontName = nullptr;
    QLineEdit* FontSize = nullptr;
    QWidget* UpDown1 = nullptr;
    QToolButton* BoldButton = nullptr;
    QToolButton* ItalicButton = nullptr;
    QToolButton* UnderlineButton = nullptr;
    QToolButton* LeftAlign = nullptr;
    QToolButton* CenterAlign = nullptr;
    QToolButton* RightAlign = nullptr;
    QButtonGroup* m_alignGroup = nullptr;
    QToolButton* BulletsButton = nullptr;
    widgets::DBLookupComboBox* DBLookupComboBox1 = nullptr;
    QToolButton* EndButton = nullptr;
    editor::Ruler* Ruler = nullptr;
    EditorArea* Editor = nullptr;
    QLabel* m_caretPanel = nullptr;
    QLabel* m_modifiedPanel = nullptr;
    QLabel* m_emptyPanel = nullptr;

    QAction* EditUndoItem = nullptr;
    QAction* EditCutItem = nullptr;
    QAction* EditCopyItem = nullptr;
    QAction* EditPasteItem = nullptr;

    QDialog* FindDialog1 = nullptr;
    QLineEdit* m_findText = nullptr;
    QDialog* ReplaceDialog1 = nullptr;
    QLineEdit* m_replaceFind = nullptr;
    QLineEdit* m_replaceWith = nullptr;
};

} // namespace editor
