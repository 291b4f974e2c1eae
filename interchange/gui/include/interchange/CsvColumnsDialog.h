#pragma once

// The mapping step of a CSV import: when the header names no column the
// address book can key a record by, the user says which column holds what.

#include "interchange/AddressCsv.h"

#include <QDialog>

#include <optional>
#include <vector>

class QComboBox;
class QPushButton;

namespace interchange {

class CsvColumnsDialog : public QDialog {
public:
    // `sample`: the first row's values, shown beside each column's name.
    CsvColumnsDialog(const QStringList& header, const QStringList& sample, const std::vector<CsvRole>& guessed,
                     QWidget* parent = nullptr);
    std::vector<CsvRole> roles() const;

private:
    void update();
    std::vector<QComboBox*> m_combos;
    QPushButton* m_ok = nullptr;
};

// The roles the user chose; nullopt when the dialog was cancelled.
std::optional<std::vector<CsvRole>> chooseCsvColumns(const QStringList& header, const QStringList& sample,
                                                      const std::vector<CsvRole>& guessed, QWidget* parent);

} // namespace interchange
