#pragma once

// The preview of an import: what will be added, what conflicts (with the
// user's choice for each) and what cannot be read, before anything is written.

#include "interchange/ImportPlan.h"

#include <QAbstractTableModel>
#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QTableView;

namespace interchange {

// Rows of the preview: every entry of every table of the plan.
class PlanModel : public QAbstractTableModel {
public:
    enum Column { TableColumn, WhereColumn, StateColumn, RecordColumn, ChoiceColumn, WarningColumn, ColumnCount };

    explicit PlanModel(ImportPlan& plan, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Sets the choice of the conflicts among the rows; false for rows that are none.
    void choose(const QList<int>& rows, Choice choice);
    void chooseForAll(Choice choice);
    const PlanEntry* entryAt(int row) const;

private:
    struct RowRef {
        int table;
        int entry;
    };
    ImportPlan& m_plan;
    std::vector<RowRef> m_rows;
};

class ImportDialog : public QDialog {
public:
    ImportDialog(ImportPlan& plan, QWidget* parent = nullptr);
    PlanModel* model() const { return m_model; }

private:
    void chooseSelected(Choice choice);
    void updateSummary();

    ImportPlan& m_plan;
    PlanModel* m_model;
    QTableView* m_view;
    QLabel* m_summary;
    QLabel* m_changedLabel;
    QPlainTextEdit* m_changed; // every value shortened or left out, with its record
};

// The whole import as the menu command runs it: choose the file, read it,
// map a CSV file's columns, show the preview, write on confirmation, show
// the counts. Long steps show the progress window and can be stopped.
void runImport(store::Database& database, QWidget* parent);
// The address book into a vCard or CSV file chosen by the user.
void runExport(store::Database& database, QWidget* parent);

} // namespace interchange
