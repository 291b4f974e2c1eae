#include "widgets/DBGrid.h"

#include "widgets/ErrorReport.h"

#include "platform/Platform.h"
#include "store/Cursor.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace widgets {

namespace {

// The toolkit grid's own question before Ctrl+Del.
const QString kDeleteQuestion = QStringLiteral("Delete record?");

// Width of the row indicator column.
constexpr int kIndicatorWidth = 18;

// Cell editor that writes every keystroke into the pending record, so the
// record knows it was changed (and a Save pressed meanwhile saves the text)
// before the editor closes.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        if (const auto* model = qobject_cast<const GridModel*>(index.model())) {
            const int field = model->fieldIndexOf(index.column());
            if (field >= 0 && model->dataSet()) {
                const int width = model->dataSet()->fields()[static_cast<std::size_t>(field)].width;
                if (width > 0)
                    editor->setMaxLength(width);
            }
        }
        auto* self = const_cast<GridDelegate*>(this);
        connect(editor, &QLineEdit::textEdited, self,
                [self, editor] { Q_EMIT self->commitData(editor); });
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text)
            line->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        const QString text = static_cast<QLineEdit*>(editor)->text();
        guarded([&] { model->setData(index, text, Qt::EditRole); });
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override
    {
        editor->setGeometry(option.rect);
    }
};

bool isPending(const store::DataSet& dataSet)
{
    return dataSet.state() == store::CursorState::Edit ||
           dataSet.state() == store::CursorState::Insert;
}

// Ends a pending record before a new one starts, as a move would: saves a
// changed one (a duplicate key throws), drops an untouched one.
void endPending(store::Cursor& cursor)
{
    if (!isPending(cursor))
        return;
    if (cursor.modified())
        cursor.post();
    else
        cursor.cancel();
}

} // namespace

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), m_model(new GridModel(this))
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(true);

    // Fixed row heights: sizing rows to their contents would read every row.
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    fitRowHeight();
    rows->setFixedWidth(kIndicatorWidth);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setSectionsClickable(false);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);

    connect(m_model, &GridModel::cursorRowChanged, this, &DBGrid::syncFromCursor);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old && (old == this || isAncestorOf(old)) && now != this && !isAncestorOf(now))
            focusLeft(now);
    });
}

DBGrid::~DBGrid() = default;

// One height for every row, from the cell font (the window sets it later).
void DBGrid::fitRowHeight()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void DBGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowHeight();
}

QString DBGrid::deleteQuestion()
{
    return kDeleteQuestion;
}

void DBGrid::setDataSet(store::DataSet* dataSet, const QList<GridColumn>& columns)
{
    m_model->setDataSet(nullptr);
    m_model->setColumns(columns);
    m_model->setDataSet(dataSet);
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].width > 0)
            setColumnWidth(i, columns[i].width);
    }
    syncFromCursor();
}

void DBGrid::setCellColors(const QColor& background, const QColor& text)
{
    m_background = background;
    m_text = text;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Text, text);
    setPalette(colours);
}

void DBGrid::syncFromCursor()
{
    store::DataSet* data = dataSet();
    if (!data || m_syncing || data->controlsDisabled())
        return;
    const int row = data->isActive() ? data->currentRow() : -1;
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex current = currentIndex();
    const QModelIndex target = m_model->index(row, current.isValid() ? current.column() : 0);
    m_syncing = true;
    if (current != target)
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
    m_syncing = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // The base commits an open editor into the pending record first.
    QTableView::currentChanged(current, previous);
    store::DataSet* data = dataSet();
    if (m_syncing || !data || !current.isValid() || !data->isActive())
        return;
    if (current.row() == data->currentRow())
        return;
    // Moving to another row saves the pending record; when that fails the
    // row stays where it was, still being edited.
    if (!guarded([&] { data->moveToRow(current.row()); })) {
        m_resyncAfterMouse = true;
        const int row = data->currentRow();
        if (row >= 0 && row < m_model->rowCount()) {
            m_syncing = true;
            selectionModel()->setCurrentIndex(m_model->index(row, current.column()),
                                              QItemSelectionModel::ClearAndSelect);
            m_syncing = false;
        }
    }
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    m_resyncAfterMouse = false;
    QTableView::mousePressEvent(event);
    // A press selects the clicked cell after changing the current one; undo
    // that when the row could not be left.
    if (m_resyncAfterMouse) {
        m_resyncAfterMouse = false;
        const QModelIndex current = currentIndex();
        if (current.isValid())
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    }
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // Typing into a cell starts the edit of its record (AfterEdit), before
    // the editor takes the key. While inserting, edit() does nothing.
    if (trigger == QAbstractItemView::AnyKeyPressed && (editTriggers() & trigger) &&
        state() != QAbstractItemView::EditingState && index.isValid() &&
        (m_model->flags(index) & Qt::ItemIsEditable)) {
        store::Cursor* cursor = m_model->cursor();
        if (cursor && cursor->state() == store::CursorState::Browse &&
            index.row() == cursor->currentRow()) {
            if (!guarded([&] { cursor->edit(); }))
                return false;
        }
    }
    return QTableView::edit(index, trigger, event);
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    // Esc in the cell editor drops the pending change of the whole row.
    if (hint == QAbstractItemDelegate::RevertModelCache) {
        if (store::Cursor* cursor = m_model->cursor())
            guarded([&] { cursor->cancel(); });
    }
}

bool DBGrid::handleKey(QKeyEvent* event)
{
    store::Cursor* cursor = m_model->cursor();
    if (!cursor || !cursor->isActive())
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;

    switch (event->key()) {
    case Qt::Key_Escape:
        if (modifiers != Qt::NoModifier)
            return false;
        guarded([&] { cursor->cancel(); });
        return true;
    case Qt::Key_Insert:
        if (modifiers != Qt::NoModifier)
            return false;
        guarded([&] {
            endPending(*cursor);
            cursor->insert();
            m_appending = false;
        });
        return true;
    case Qt::Key_Down: {
        if (modifiers != Qt::NoModifier)
            return false;
        const bool inserting = cursor->state() == store::CursorState::Insert;
        if (!inserting)
            m_appending = false;
        // An untouched record already started past the end stays the only one.
        if (inserting && m_appending && !cursor->modified())
            return true;
        if (cursor->currentRow() != cursor->rowCount() - 1)
            return false;
        // Past the last row: a new empty record at the end.
        guarded([&] {
            endPending(*cursor);
            cursor->append();
            m_appending = true;
        });
        return true;
    }
    case Qt::Key_Delete: {
        if (modifiers != Qt::ControlModifier)
            return false;
        if (cursor->rowCount() == 0)
            return true;
        platform::Dialogs* dialogs = platform::services().dialogs;
        if (dialogs && dialogs->okCancel(kDeleteQuestion))
            guarded([&] { cursor->remove(); });
        return true;
    }
    default:
        break;
    }
    // Typing into an empty table starts its first record.
    if (cursor->rowCount() == 0 && !event->text().isEmpty() && event->text().at(0).isPrint() &&
        (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier) {
        if (!guarded([&] { cursor->edit(); }))
            return true;
    }
    return false;
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    if (handleKey(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::focusLeft(QWidget* now)
{
    // Only a move of the focus within the window counts: a message box or
    // another application taking the focus leaves the new record alone.
    if (!now || now->window() != window())
        return;
    store::Cursor* cursor = m_model->cursor();
    if (cursor && cursor->isActive() && cursor->state() == store::CursorState::Insert &&
        !cursor->modified())
        guarded([&] { cursor->cancel(); });
}

} // namespace widgets
