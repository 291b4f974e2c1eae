#pragma once

#include "directories/DirectorySettings.h"

#include "store/Cursor.h"

#include <QWidget>

#include <memory>

class QLineEdit;
class QToolButton;

namespace store {
class Database;
}
namespace widgets {
class DBGrid;
class RecordToolbar;
}

namespace directories {

// A directory of telephone prefixes: one grid in key order, a search by the
// beginning of the name, and the record-editing toolbar with its tones. Save
// and Discard start enabled and only Insert enables them again; a change
// typed into a cell is saved by moving to another row. The settings hold
// what the two windows differ in.
class PrefixForm : public QWidget {
    Q_OBJECT
public:
    PrefixForm(store::Database& database, const PrefixSettings& settings);
    ~PrefixForm() override;

    const PrefixSettings& settings() const { return m_settings; }
    store::Cursor& Table() { return *m_table; }

    // Start-up: registers the password and opens the table (a failure is
    // thrown and stops start-up); the search field takes the focus.
    void FormCreate();

    void HledEditChange();
    // "Zpět": an empty search field, the first record, the window hidden;
    // a record that cannot be saved keeps the window open on it.
    void ZpetClick();

private:
    store::Database& m_database;
    const PrefixSettings& m_settings;
    std::unique_ptr<store::Cursor> m_table;
    std::unique_ptr<widgets::RecordToolbar> m_editing;

    QLineEdit* HledEdit = nullptr;
    QToolButton* m_backButton = nullptr;
    widgets::DBGrid* DBGrid = nullptr;
};

// "Telefonní předvolby v ČR".
class TTlfCrForm : public PrefixForm {
    Q_OBJECT
public:
    explicit TTlfCrForm(store::Database& database) : PrefixForm(database, czechPrefixSettings()) {}
};

// "Mezinárodní telefonní předvolby".
class TTlfSvtForm : public PrefixForm {
    Q_OBJECT
public:
    explicit TTlfSvtForm(store::Database& database) : PrefixForm(database, worldPrefixSettings()) {}
};

} // namespace directories
