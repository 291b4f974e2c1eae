// The letter editor's window: its parts, showing and closing, the status
// bar and the hints. Documents, editing and formatting are in the
// EditorForm*.cpp files beside it.

#include "editor/EditorForm.h"

#include "EditorFormParts.h"
#include "EditorIcons.h"
#include "EditorTexts.h"

#include "platform/Platform.h"
#include "richtext/Pictures.h"
#include "store/Database.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/ErrorReport.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace {

constexpr int kHelpTopic = 3;
constexpr int kGutter = 6;
const std::string kAddressTable = "Dat.DB";

QString documentsDir()
{
    const platform::Paths* paths = platform::services().paths;
    return paths ? paths->documentsDir() : QString();
}

// A picture on the clipboard without text of its own (a screenshot, an
// image copied in a viewer); with text the text is what is pasted.
QImage pastedPicture(const QMimeData* source)
{
    if (!source->hasImage() || (source->hasText() && !source->text().trimmed().isEmpty()))
        return {};
    return qvariant_cast<QImage>(source->imageData());
}

} // namespace

void detail::setHint(QWidget* widget, const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    widget->setToolTip(bar < 0 ? hint : hint.left(bar));
    widget->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

// --- EditorArea

EditorArea::EditorArea(QWidget* parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("Editor"));
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAcceptRichText(true);
    document()->setDocumentMargin(0); // the gutters are the viewport's margins
    document()->setModified(false);    // the margin is no change of the text
}

void EditorArea::takeDocument(QTextDocument* document)
{
    document->setParent(this);
    document->setDocumentMargin(0);
    // The previous document, a child of the area, is deleted by the area.
    setDocument(document);
}

bool EditorArea::canInsertFromMimeData(const QMimeData* source) const
{
    return !pastedPicture(source).isNull() || QTextEdit::canInsertFromMimeData(source);
}

void EditorArea::insertFromMimeData(const QMimeData* source)
{
    if (const QImage picture = pastedPicture(source); !picture.isNull()) {
        QTextCursor cursor = textCursor();
        richtext::insertImage(cursor, picture);
        ensureCursorVisible();
        return;
    }
    if (source->hasUrls()) {
        QStringList files;
        for (const QUrl& url : source->urls()) {
            if (url.isLocalFile())
                files << url.toLocalFile();
        }
        if (!files.isEmpty()) {
            Q_EMIT filesDropped(files);
            return;
        }
    }
    QTextEdit::insertFromMimeData(source);
}

// --- TEditorForm

TEditorForm::TEditorForm(store::Database& database, QWidget* parent)
    : QMainWindow(parent), m_tableEd(std::make_unique<store::Cursor>(database, kAddressTable)),
      m_folders(documentsDir())
{
    setObjectName(QStringLiteral("TEditorForm"));
    setProperty(platform::kHelpTopicProperty, kHelpTopic);
    m_tableEd->open();

    createToolbar();
    auto* central = new QWidget(this);
    Ruler = new editor::Ruler(central);
    Editor = new EditorArea(central);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Ruler);
    layout->addWidget(Editor, 1);
    setCentralWidget(central);
    m_startFont = Editor->document()->defaultFont();
    createMenu();
    createStatusBar();
    createFindDialogs();
    setAcceptDrops(true);
    resize(800, 600);

    connect(Editor, &QTextEdit::cursorPositionChanged, this, [this] { SelectionChange(); });
    connect(Editor, &QTextEdit::selectionChanged, this, [this] { SelectionChange(); });
    connect(Editor, &QTextEdit::textChanged, this, [this] { RichEditChange(); });
    connectDocument();
    connect(Editor, &EditorArea::filesDropped, this,
            [this](const QStringList& files) { widgets::guarded([&] { filesDropped(files); }); });
    connect(Ruler, &editor::Ruler::markerDropped, this,
            [this](editor::Ruler::Marker marker) { markerDropped(marker); });
    // The clipboard's change notification: the paste command follows it.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdatePasteState(); });
}

void TEditorForm::connectDocument()
{
    connect(Editor->document(), &QTextDocument::modificationChanged, this, [this] { RichEditChange(); });
    connect(Editor->document(), &QTextDocument::undoAvailable, this, [this] { RichEditChange(); });
}

TEditorForm::~TEditorForm()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void TEditorForm::FormCreate()
{
    // Long hints of every window reach this window's status bar.
    qApp->installEventFilter(this);
    SetDocumentName(texts::kUntitled);
    FillFontNames();
    BuildRuler();
    SetTextMargins();
    SelectionChange();
    UpdatePasteState();
}

void TEditorForm::createToolbar()
{
    ToolBar = addToolBar(QStringLiteral("ToolBar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    // The desktop theme's picture, else the style's.
    auto themed = [this](const char* name, QStyle::StandardPixmap fallback) {
        return QIcon::fromTheme(QString::fromLatin1(name), style()->standardIcon(fallback));
    };
    auto button = [this](const char* name, const QString& text, const QString& hint, const QIcon& icon,
                         auto handler) {
        auto* b = new QToolButton(ToolBar);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setIcon(icon);
        b->setAutoRaise(true);
        detail::setHint(b, hint);
        connect(b, &QToolButton::clicked, this, [this, handler] { widgets::guarded([&] { (this->*handler)(); }); });
        ToolBar->addWidget(b);
        return b;
    };
    NewButton = button("NewButton", texts::kNew, texts::kHintNew, themed("document-new", QStyle::SP_FileIcon), &TEditorForm::FileNew);
    OpenButton = button("OpenButton", texts::kOpen, texts::kHintOpen, themed("document-open", QStyle::SP_DialogOpenButton),
                        &TEditorForm::FileOpen);
    SaveButton = button("SaveButton", texts::kSave, texts::kHintSave, themed("document-save", QStyle::SP_DialogSaveButton),
                        &TEditorForm::FileSave);
    PrintButton = button("PrintButton", texts::kPrint, texts::kHintPrint, themed("document-print", QStyle::SP_FileDialogDetailedView),
                         &TEditorForm::FilePrint);
    ToolBar->addSeparator();
    UndoButton = button("UndoButton", texts::kUndo, texts::kHintUndo, themed("edit-undo", QStyle::SP_ArrowBack),
                        &TEditorForm::EditUndo);
    UndoButton->setEnabled(false);
    CutButton = button("CutButton", texts::kCut, texts::kHintCut, detail::editIcon(detail::EditIcon::Cut),
                       &TEditorForm::EditCut);
    CopyButton = button("CopyButton", texts::kCopy, texts::kHintCopy, detail::editIcon(detail::EditIcon::Copy),
                        &TEditorForm::EditCopy);
    PasteButton = button("PasteButton", texts::kPaste, texts::kHintPaste,
                         detail::editIcon(detail::EditIcon::Paste), &TEditorForm::EditPaste);
    ToolBar->addSeparator();
    createFormattingControls(ToolBar);
    ToolBar->addSeparator();
    DBLookupComboBox1 = new widgets::DBLookupComboBox(ToolBar);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setDataSet(m_tableEd.get());
    DBLookupComboBox1->setDataField(QStringLiteral("Příjmení"));
    connect(DBLookupComboBox1, &widgets::DBLookupComboBox::recordChosen, this,
            [this] { widgets::guarded([&] { DBLookupComboBox1Click(); }); });
    ToolBar->addWidget(DBLookupComboBox1);
    ToolBar->addSeparator();
    EndButton = button("EndButton", texts::kExit, texts::kHintEnd, style()->standardIcon(QStyle::SP_DialogCloseButton),
                       &TEditorForm::EndButtonClick);
}

void TEditorForm::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_caretPanel = new QLabel(bar);
    m_caretPanel->setObjectName(QStringLiteral("StatusPanelCaret"));
    // 120 pixels as designed, or what the longest position text needs in
    // this font: a letter may have six-digit line and column numbers.
    m_caretPanel->setFixedWidth(std::max(120, m_caretPanel->fontMetrics().horizontalAdvance(
                                                  texts::kCaretPosition.arg(999999, 3).arg(999999, 3)) + 8));
    m_modifiedPanel = new QLabel(bar);
    m_modifiedPanel->setObjectName(QStringLiteral("StatusPanelModified"));
    m_modifiedPanel->setFixedWidth(60);
    m_modifiedPanel->setAlignment(Qt::AlignCenter);
    m_emptyPanel = new QLabel(bar);
    m_emptyPanel->setObjectName(QStringLiteral("StatusPanelEmpty"));
    m_emptyPanel->setFixedWidth(50);
    bar->addWidget(m_caretPanel);
    bar->addWidget(m_modifiedPanel);
    bar->addWidget(m_emptyPanel);
}

void TEditorForm::FormShow()
{
    ShowCaretPosition();
    setAcceptDrops(true);
    RichEditChange();
    Editor->setFocus();
    UpdatePasteState();
    if (!m_commandLineDocument.isEmpty() && QFileInfo::exists(m_commandLineDocument))
        LoadDocument(m_commandLineDocument);
}

void TEditorForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        widgets::guarded([&] { FormShow(); });
}

void TEditorForm::closeEvent(QCloseEvent* event)
{
    bool close = false;
    widgets::guarded([&] { close = AskSaveChanges(); });
    if (close)
        event->accept(); // hidden, with its text kept
    else
        event->ignore();
}

void TEditorForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    SetTextMargins();
    SelectionChange();
}

void TEditorForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TEditorForm::dropEvent(QDropEvent* event)
{
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    event->acceptProposedAction();
    widgets::guarded([&] { filesDropped(files); });
}

bool TEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::StatusTip && watched->isWidgetType())
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
    return QMainWindow::eventFilter(watched, event);
}

void TEditorForm::ShowHint(const QString& hint)
{
    // A long hint stands alone in the status bar; without one the panels return.
    if (hint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(hint);
}

void TEditorForm::SetTextMargins()
{
    Editor->setTextMargins(kGutter, kGutter);
}

void TEditorForm::SetDocumentName(const QString& name)
{
    m_documentName = name;
    setWindowTitle(texts::kCaption.arg(QFileInfo(name).fileName(), platform::Dialogs::applicationTitle()));
}

void TEditorForm::ShowCaretPosition()
{
    const QTextCursor cursor = Editor->textCursor();
    const QTextBlock block = Editor->document()->findBlock(cursor.selectionStart());
    const int line = block.blockNumber();
    const int column = cursor.selectionStart() - block.position();
    m_caretPanel->setText(texts::kCaretPosition.arg(line + 1, 3).arg(column + 1, 3));
    const bool selected = cursor.hasSelection();
    CutButton->setEnabled(selected);
    CopyButton->setEnabled(selected);
    EditCutItem->setEnabled(selected);
    EditCopyItem->setEnabled(selected);
}

void TEditorForm::RichEditChange()
{
    ShowModifiedState(Editor->document()->isModified());
    const bool undo = Editor->document()->isUndoAvailable();
    UndoButton->setEnabled(undo);
    EditUndoItem->setEnabled(undo);
}

void TEditorForm::ShowModifiedState(bool modified)
{
    m_modifiedPanel->setText(modified ? texts::kModified : QString());
}

void TEditorForm::UpdatePasteState()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const bool canPaste = data && Editor->canPaste();
    PasteButton->setEnabled(canPaste);
    EditPasteItem->setEnabled(canPaste);
}

} // namespace editor
