#pragma once

// What differs between the windows that share one implementation: the
// postal codes and the vehicle codes (a list by name and by code), and the
// two telephone-prefix windows. Every such difference is a value here.

#include "widgets/GridColumn.h"

#include <QList>
#include <QString>

#include <string>

namespace directories {

// The help topics of the directory windows.
inline constexpr int kHelpCodeDirectories = 7;
inline constexpr int kHelpAppliances = 8;
inline constexpr int kHelpPrefixes = 12;

// A directory of names and their codes, browsed by name or by code.
struct CodeDirectorySettings {
    const char* className;  // the window's object name
    QString caption;
    std::string table;
    std::string keyField;   // the primary key, the by-name index
    std::string codeField;  // the secondary index, the by-code ordering
    const char* keyGridName;
    QList<widgets::GridColumn> keyGridColumns;  // the grid of the by-name ordering
    QList<widgets::GridColumn> codeGridColumns; // "DBGridZmena", over it in the by-code ordering
    QString byKeyLabel;     // the ordering label
    QString byCodeLabel;
    QString deleteQuestion; // %1 is the name
    QString duplicateMessage;
    const char* backButtonName;
    bool editableByCode;    // cells of the code grid can be changed
    bool postOffice;        // the "Pošta" view of every place with the current code
    // The search text of the by-code ordering as the codes are stored, or
    // nullptr to search for the text as typed.
    QString (*codeSearchText)(const QString& typed);
};

const CodeDirectorySettings& postalCodeSettings();
const CodeDirectorySettings& vehicleCodeSettings();

// A directory of names and their dialling prefixes.
struct PrefixSettings {
    const char* className;
    QString caption;
    std::string table;
    std::string keyField;
    std::string prefixField;
    QString duplicateMessage;
    const char* backButtonName;
};

const PrefixSettings& czechPrefixSettings();
const PrefixSettings& worldPrefixSettings();

} // namespace directories
