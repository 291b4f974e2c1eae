#pragma once

#include "directories/DirectorySettings.h"
#include "directories/PostalImport.h"

#include "store/Cursor.h"
#include "store/Query.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace store {
class Database;
}
namespace widgets {
class DBGrid;
class RecordToolbar;
}

namespace directories {

// A directory of names and codes: the postal codes and the vehicle codes.
// Browsed by name or by code (a second grid covers the first), searched by
// typing the beginning, edited with the beeping toolbar; a failed save drops
// the duplicate and says so. The settings hold what the two windows differ in.
class CodeDirectoryForm : public QWidget {
    Q_OBJECT
public:
    CodeDirectoryForm(store::Database& database, const CodeDirectorySettings& settings);
    ~CodeDirectoryForm() override;

    const CodeDirectorySettings& settings() const { return m_settings; }
    store::Cursor& Table() { return *m_table; }

    // Start-up: registers the password and opens the table (a failure is
    // thrown and stops start-up), then shows the record count.
    void FormCreate();

    void EditHledChange();
    void SpeedButtonIndexClick();
    void SpeedButtonVyberClick();
    // After every save and delete.
    void refreshRecordCount();
    // "Zpět": back to the by-name ordering without the post-office view,
    // hidden; a record that cannot be saved keeps the window open on it.
    void ZpetClick();

protected:
    // The first row's free end, for a command of one window only.
    void addToFirstRow(QWidget* widget);
    widgets::DBGrid* keyGrid() const { return m_keyGrid; }
    QLineEdit* searchField() const { return EditHled; }
    // Ends a cell being typed and a pending record; false (after the
    // message) when the record cannot be saved.
    bool endEditing();

private:
    QWidget* createFirstRow();
    QWidget* createSecondRow();
    QWidget* createGrids();
    void showOrdering(bool byCode);
    void bindKeyGridToTable();

    store::Database& m_database;
    const CodeDirectorySettings& m_settings;
    std::unique_ptr<store::Cursor> m_table;
    std::unique_ptr<store::Query> m_postOffice;
    std::unique_ptr<widgets::RecordToolbar> m_editing;
    int m_afterPost = 0;
    int m_afterDelete = 0;

    QWidget* m_firstRow = nullptr;
    QLabel* BlabelRazeni = nullptr;
    QLabel* LabelPocetZaznamu = nullptr;
    QToolButton* SpeedButtonIndex = nullptr;
    QLineEdit* EditHled = nullptr;
    QToolButton* SpeedButtonVyber = nullptr;
    QPushButton* m_backButton = nullptr;
    widgets::DBGrid* m_keyGrid = nullptr;
    widgets::DBGrid* DBGridZmena = nullptr;
};

// Asks which columns of a CSV file hold the place, the code and the type
// when the header does not say it in words the import knows; nullopt when
// the user cancels.
using PostalColumnChooser = std::function<std::optional<PostalColumns>(const CsvDocument& document,
                                                                       const PostalColumns& recognised)>;

// "Poštovní směrovací čísla", with the post-office view and the import of
// the post's complete list.
class TPscForm : public CodeDirectoryForm {
    Q_OBJECT
public:
    explicit TPscForm(store::Database& database);

    // Loads a CSV list of places and postal codes, after showing what it will change.
    void SpeedButtonNacistClick();
    // Tests answer the column question themselves; the window asks with a dialog.
    void setColumnChooser(PostalColumnChooser chooser) { m_chooseColumns = std::move(chooser); }

private:
    void importFile(const QString& path);
    PostalColumnChooser m_chooseColumns;
};

// "Poznávací značky zemí".
class TSpzForm : public CodeDirectoryForm {
    Q_OBJECT
public:
    explicit TSpzForm(store::Database& database);
};

} // namespace directories
