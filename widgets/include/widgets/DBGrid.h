#pragma once

#include "widgets/GridColumn.h"
#include "widgets/GridModel.h"

#include <QColor>
#include <QList>
#include <QTableView>

#include <memory>

namespace store {
class DataSet;
}

namespace widgets {

class CursorFollower;

// The data grid: one row per record, the row indicator in the vertical header,
// and the view's current row tied to the cursor's position both ways. Typing
// starts the edit, moving to another row saves it (a failed save keeps the
// row), Esc drops it, Insert and Down past the end insert, Ctrl+Del deletes.
// The current index, the highlighted cell and the row marker are always the
// cursor's record.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    void setDataSet(store::DataSet* dataSet, const QList<GridColumn>& columns);
    store::DataSet* dataSet() const { return m_model->dataSet(); }
    GridModel* gridModel() const { return m_model; }

    void setCellColors(const QColor& background, const QColor& text);
    QColor cellBackground() const { return m_background; }
    QColor cellText() const { return m_text; }

    // A read-only grid only browses: no cell editor, and the keys that insert
    // or delete records do nothing.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_model->isReadOnly(); }

    // The toolkit's question before Ctrl+Del deletes a record.
    static QString deleteQuestion();

    // For toolbar buttons, which take no focus, so a cell being typed into is
    // still open in its editor when one is pressed: hand the typed text to
    // the record, or throw it away.
    void commitOpenEditor();
    void dropOpenEditor();
    // What the grid losing the focus does before a toolbar action: the open
    // editor's text goes into the record and a new record into which nothing
    // was typed is dropped.
    void endTyping();
    // Ctrl+Del: the question, then the deletion on OK.
    void askAndDelete();

    // Whether the grid's own keys add records (Insert, Down past the last row,
    // typing into an empty table) and delete them (Ctrl+Del); both by default.
    // A table of fixed rows, or one whose records come another way, turns them off.
    void setRecordKeys(bool insert, bool remove);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void fitRowHeight();
    void focusLeft(QWidget* now);
    void dropUntouchedNewRecord();
    bool handleKey(QKeyEvent* event);

    GridModel* m_model = nullptr;
    std::unique_ptr<CursorFollower> m_follower;
    QColor m_background;
    QColor m_text;
    // The pending new record was started by Down past the last row.
    bool m_appending = false;
    bool m_insertKeys = true;
    bool m_deleteKeys = true;
};

} // namespace widgets
