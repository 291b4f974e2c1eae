#include "widgets/DBGrid.h"

#include "CellTextCache.h"
#include "CursorFollower.h"
#include "widgets/ErrorReport.h"
#include "widgets/FieldLength.h"

#include "platform/Platform.h"
#include "store/Cursor.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace widgets {

namespace {

// The toolkit grid's own question before Ctrl+Del.
const QString kDeleteQuestion = QStringLiteral("Delete record?");

// Width of the row indicator column.
constexpr int kIndicatorWidth = 18;

// Cell editor that writes every keystroke into the pending record, so the
// record knows it was changed (and a Save pressed meanwhile saves the text)
// before the editor closes. It takes no more characters than the field's
// width and turns pasted line breaks into blanks.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The width of a text column's field in characters; 0 for other kinds.
    static int fieldWidth(const QModelIndex& index)
    {
        const auto* model = qobject_cast<const GridModel*>(index.model());
        const int field = model ? model->fieldIndexOf(index.column()) : -1;
        if (field < 0 || !model->dataSet())
            return 0;
        const store::FieldDef& def = model->dataSet()->fields()[static_cast<std::size_t>(field)];
        return def.kind == store::FieldKind::Text ? def.width : 0;
    }

    static bool isTextField(const QModelIndex& index)
    {
        const auto* model = qobject_cast<const GridModel*>(index.model());
        const int field = model ? model->fieldIndexOf(index.column()) : -1;
        if (field < 0 || !model->dataSet())
            return true;
        const store::FieldKind kind = model->dataSet()->fields()[static_cast<std::size_t>(field)].kind;
        return kind == store::FieldKind::Text || kind == store::FieldKind::Memo;
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        auto* limit = new FieldLengthValidator(fieldWidth(index), true, editor);
        editor->setValidator(limit);
        // A date, time or number is taken when the cell is left: half typed,
        // it is no value yet.
        if (isTextField(index)) {
            auto* self = const_cast<GridDelegate*>(this);
            connect(editor, &QLineEdit::textEdited, self, [self, editor, limit](const QString& text) {
                // A value longer than the field (from an older file) may only
                // shrink, and goes into the record once it fits; closing the
                // editor before then lets the store say why it cannot be kept.
                limit->setStoredText(text);
                if (limit->fits(text))
                    Q_EMIT self->commitData(editor);
            });
        }
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        // While the editor's own text is being written the record passes
        // through its old value (starting the edit repaints the row); that
        // must not come back into the editor and move the caret.
        if (editor == m_committing)
            return;
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() == text)
            return;
        // A stored value longer than the width is shown whole, not cut.
        if (auto* limit = qobject_cast<FieldLengthValidator*>(
                const_cast<QValidator*>(line->validator())))
            limit->setStoredText(text);
        line->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        const QString text = static_cast<QLineEdit*>(editor)->text();
        m_committing = editor;
        guarded([&] { model->setData(index, text, Qt::EditRole); });
        m_committing = nullptr;
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override
    {
        editor->setGeometry(option.rect);
    }

    // As the style paints a cell, with the text taken from the cache: the
    // style would shape and elide every text of every row on every repaint.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        if (cell.textElideMode != Qt::ElideRight || !CellTextCache::isSingleLine(cell.text) ||
            (cell.features & QStyleOptionViewItem::WrapText)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QWidget* widget = cell.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QString text = cell.text;
        cell.text.clear();
        // Background, selection and focus frame.
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        if (text.isEmpty())
            return;
        // The style's own text margins and colours.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect room = cell.rect.adjusted(margin, 0, -margin, 0);
        const QStaticText laidOut = m_texts.text(text, room.width(), cell.font);
        QPalette::ColorGroup group = (cell.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(cell.state & QStyle::State_Active))
            group = QPalette::Inactive;
        const QSize size = laidOut.size().toSize();
        const QRect placed = QStyle::alignedRect(cell.direction, cell.displayAlignment, size, room);
        painter->save();
        painter->setClipRect(room);
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(
            group, (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        painter->drawStaticText(placed.topLeft(), laidOut);
        painter->restore();
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // Ctrl+Del in an open cell deletes the record, as on a closed cell,
        // not the word after the caret.
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete &&
                (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
                if (auto* grid = qobject_cast<DBGrid*>(parent()))
                    grid->askAndDelete();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    mutable QWidget* m_committing = nullptr;
    mutable CellTextCache m_texts;
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

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent), m_model(new GridModel(this)),
      m_follower(std::make_unique<CursorFollower>(*this, *m_model))
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

    connect(m_model, &GridModel::cursorRowChanged, this, [this] { m_follower->followCursor(true); });
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

void DBGrid::setReadOnly(bool readOnly)
{
    m_model->setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                   QAbstractItemView::EditKeyPressed);
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
    m_follower->followCursor(true);
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

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // The base commits an open editor into the pending record first.
    QTableView::currentChanged(current, previous);
    m_follower->currentChanged(current, previous);
}

// After the toolkit handled a user's event its selection may stand elsewhere
// than the cursor (a move that could not save its row selects the new cell
// after changing the current one): put it back.
void DBGrid::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    m_follower->followCursor(false);
}

void DBGrid::mouseMoveEvent(QMouseEvent* event)
{
    QTableView::mouseMoveEvent(event);
    m_follower->followCursor(false);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    m_follower->followCursor(false);
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
    if (!cursor || !cursor->isActive() || isReadOnly())
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
        if (!m_insertKeys)
            return true;
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
        // Only the last row can be (a big table still being counted is
        // counted only when the row is the last one known so far).
        const int row = cursor->currentRow();
        if (row < cursor->rowCountSoFar() - 1 || row != cursor->rowCount() - 1 || !m_insertKeys)
            return false;
        // Past the last row: a new empty record at the end.
        guarded([&] {
            endPending(*cursor);
            cursor->append();
            m_appending = true;
        });
        return true;
    }
    case Qt::Key_Delete:
        if (modifiers != Qt::ControlModifier)
            return false;
        askAndDelete();
        return true;
    default:
        break;
    }
    // Typing into an empty table starts its first record.
    if (m_insertKeys && cursor->rowCountSoFar() == 0 && !event->text().isEmpty() && event->text().at(0).isPrint() &&
        (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier) {
        if (!guarded([&] { cursor->edit(); }))
            return true;
    }
    return false;
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    m_model->completeRows();
    if (handleKey(event))
        event->accept();
    else
        QTableView::keyPressEvent(event);
    m_follower->followCursor(false);
}

void DBGrid::setRecordKeys(bool insert, bool remove)
{
    m_insertKeys = insert;
    m_deleteKeys = remove;
}

void DBGrid::askAndDelete()
{
    store::Cursor* cursor = m_model->cursor();
    if (!m_deleteKeys || !cursor || !cursor->isActive() || cursor->rowCountSoFar() == 0)
        return;
    // The typed text belongs to the record the question is about.
    commitOpenEditor();
    platform::Dialogs* dialogs = platform::services().dialogs;
    if (dialogs && dialogs->okCancel(kDeleteQuestion))
        guarded([&] { cursor->remove(); });
}

void DBGrid::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DBGrid::dropOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void DBGrid::endTyping()
{
    commitOpenEditor();
    dropUntouchedNewRecord();
}

void DBGrid::dropUntouchedNewRecord()
{
    store::Cursor* cursor = m_model->cursor();
    if (cursor && cursor->isActive() && cursor->state() == store::CursorState::Insert &&
        !cursor->modified())
        guarded([&] { cursor->cancel(); });
}

void DBGrid::focusLeft(QWidget* now)
{
    // Only a move of the focus within the window counts: a message box or
    // another application taking the focus leaves the new record alone.
    if (!now || now->window() != window())
        return;
    dropUntouchedNewRecord();
}

} // namespace widgets
