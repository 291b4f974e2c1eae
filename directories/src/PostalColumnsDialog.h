#pragma once

#include "directories/PostalImport.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace directories {

// Asks which columns hold the place, the postal code and (if any) the type,
// when the file's header names them in words the import does not know. Each
// column is offered with its header and the first row's value.
class PostalColumnsDialog : public QDialog {
    Q_OBJECT
public:
    PostalColumnsDialog(const CsvDocument& document, const PostalColumns& recognised, QWidget* parent = nullptr);

    // The columns chosen; complete() only when place and code differ.
    PostalColumns columns() const;

private:
    void updateAcceptable();

    PostalColumns m_recognised;
    QComboBox* m_place = nullptr;
    QComboBox* m_code = nullptr;
    QComboBox* m_type = nullptr;
    QLabel* m_problem = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

// Runs the dialog modally; nullopt when the user cancels.
std::optional<PostalColumns> askForPostalColumns(const CsvDocument& document, const PostalColumns& recognised);

} // namespace directories
