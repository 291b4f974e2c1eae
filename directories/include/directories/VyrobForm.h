#pragma once

#include "store/Cursor.h"

#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace store {
class Database;
}
namespace widgets {
class DBComboBox;
class DBDateEdit;
class DBGrid;
class DBNavigator;
class FieldBinding;
class RecordToolbar;
}

namespace directories {

// "Přístroje": the register of the household's appliances with their
// warranties and a record of repairs that only grows. Browsed and edited in
// a grid, searched as typed, printed as labelled lines.
class TVyrobForm : public QWidget {
    Q_OBJECT
public:
    // Opens the register; a failure is thrown and stops start-up.
    explicit TVyrobForm(store::Database& database);
    ~TVyrobForm() override;

    store::Cursor& Table() { return *m_table; }

    // Start-up: the search field takes the focus, the grid its title colour.
    void FormCreate();

    void HledEditChange();
    // Appends the repair given in the repair group to the appliance's record
    // of repairs and saves the appliance, after a warning that it stays.
    void ButtonOpravaClick();
    void SpeedButtonTiskClick();
    // "Zpět": an empty search field, the first appliance, the window hidden;
    // an appliance that cannot be saved keeps the window open on it.
    void SpeedButtonZpetClick();

private:
    QWidget* createToolbar();
    QWidget* createRepairPanel();
    // A cell or date still being typed goes into the record.
    bool commitTyping();

    std::unique_ptr<store::Cursor> m_table;
    std::unique_ptr<widgets::RecordToolbar> m_editing;

    QLineEdit* HledEdit = nullptr;
    widgets::DBNavigator* DBNavigator1 = nullptr;
    QPushButton* SpeedButtonTisk = nullptr;
    QPushButton* SpeedButtonZpet = nullptr;
    widgets::DBGrid* DBGrid1 = nullptr;
    QGroupBox* GroupBoxVkladani = nullptr;
    widgets::DBDateEdit* DBDateEditOd = nullptr;
    widgets::DBDateEdit* DBDateEditDo = nullptr;
    widgets::DBComboBox* DBComboBoxZarucni = nullptr;
    QPushButton* ButtonOprava = nullptr;
    QGroupBox* GroupBoxPrehled = nullptr;
    QPlainTextEdit* DBMemoOpravy = nullptr;
    std::unique_ptr<widgets::FieldBinding> m_repairsBinding;
    QLabel* ImageObrazek = nullptr;
};

} // namespace directories
