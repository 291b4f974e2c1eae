#include "widgets/DBLookupComboBox.h"

#include "widgets/ErrorReport.h"
#include "widgets/GridModel.h"

#include "UniformListView.h"

#include "store/Cursor.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace widgets {

namespace {
constexpr int kVisibleCharacters = 20;
}

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent), m_model(new GridModel(this))
{
    // Nothing may measure, lay out or search every entry: the size comes
    // from a character count, the list places its rows by their number,
    // typing is searched by the index and Enter never matches the text item
    // by item.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(kVisibleCharacters);
    auto* list = new UniformListView(this);
    list->setObjectName(QStringLiteral("LookupList"));
    setView(list);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setModel(m_model);
    // The combo box would match the typed text against every entry when
    // the text loses the focus or Enter is pressed; typing here searches the
    // index instead, and Enter chooses the entry found.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    lineEdit()->installEventFilter(this);
    // Keys typed while the list is open go to the text too: the list's own
    // keyboard search would compare a million entries one by one.
    list->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBLookupComboBox::typed);
    connect(this, qOverload<int>(&QComboBox::activated), this, &DBLookupComboBox::choose);
}

store::DataSet* DBLookupComboBox::dataSet() const
{
    return m_model->dataSet();
}

void DBLookupComboBox::setDataSet(store::DataSet* dataSet)
{
    m_model->setDataSet(dataSet);
    setCurrentIndex(-1);
}

void DBLookupComboBox::setDataField(const QString& field)
{
    m_model->setColumns({GridColumn{field, field, -1}});
    setModelColumn(0);
    setCurrentIndex(-1);
}

void DBLookupComboBox::typed(const QString& text)
{
    auto* cursor = m_model->cursor();
    if (!cursor || text.isEmpty())
        return;
    guarded([&] {
        cursor->findNearest(text.toStdString());
        const int row = cursor->currentRow();
        if (row < 0)
            return;
        const QString found = m_model->index(row, 0).data().toString();
        const QSignalBlocker blocker(this);
        if (view()->isVisible()) {
            // The open list only moves to the entry; the box takes it when chosen.
            const QModelIndex entry = m_model->index(row, 0);
            view()->selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
            view()->scrollTo(entry, QAbstractItemView::PositionAtTop);
        } else {
            setCurrentIndex(row);
        }
        // The rest of the entry found stands selected, so typing goes on.
        if (found.startsWith(text, Qt::CaseInsensitive)) {
            lineEdit()->setText(found);
            lineEdit()->setSelection(static_cast<int>(text.size()), static_cast<int>(found.size() - text.size()));
        } else {
            lineEdit()->setText(text);
        }
    });
}

void DBLookupComboBox::choose(int row)
{
    if (view()->isVisible() && view()->currentIndex().isValid())
        row = view()->currentIndex().row();
    store::DataSet* data = dataSet();
    if (!data || row < 0 || row >= m_model->rowCount())
        return;
    if (guarded([&] { data->moveToRow(row); }))
        Q_EMIT recordChosen();
}

bool DBLookupComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool typing = !key->text().isEmpty() && key->text().at(0).isPrint();
        if (typing || key->key() == Qt::Key_Backspace) {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(lineEdit(), &copy);
            return true;
        }
        // The list goes only as far as the rows counted so far; a move by
        // pages or to the end needs them all.
        if (key->key() == Qt::Key_End || key->key() == Qt::Key_PageDown)
            m_model->completeRows();
    }
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            choose(currentIndex());
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace widgets
