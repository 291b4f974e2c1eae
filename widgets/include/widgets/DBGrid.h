#pragma once

#include "widgets/GridColumn.h"
#include "widgets/GridModel.h"

#include <QColor>
#include <QList>
#include <QTableView>

namespace store {
class DataSet;
}

namespace widgets {

// The data grid: one row per record, the row indicator in the vertical header,
// and the view's current row tied to the cursor's position both ways. Typing
// starts the edit, moving to another row saves it (a failed save keeps the
// row), Esc drops it, Insert and Down past the end insert, Ctrl+Del deletes.
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

    // The toolkit's question before Ctrl+Del deletes a record.
    static QString deleteQuestion();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void fitRowHeight();
    void syncFromCursor();
    void focusLeft(QWidget* now);
    bool handleKey(QKeyEvent* event);

    GridModel* m_model = nullptr;
    QColor m_background;
    QColor m_text;
    bool m_syncing = false;
    bool m_resyncAfterMouse = false;
    // The pending new record was started by Down past the last row.
    bool m_appending = false;
};

} // namespace widgets
