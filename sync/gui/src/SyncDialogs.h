#pragma once

// The dialogs of the sync: its settings, the pairs of a first sync, the
// conflicts. Each returns what the user chose; the caller does the work.

#include "sync/DavClient.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QCheckBox;
class QLineEdit;
class QTableWidget;

namespace davsync {

class SyncSettingsDialog : public QDialog {
public:
    // `findBooks` lists the address books and calendars for the settings
    // typed so far (throws SyncError).
    SyncSettingsDialog(const SyncSettings& settings, const QString& password,
                       std::function<std::vector<Collection>(const SyncSettings&, const QString&)> findBooks,
                       QWidget* parent);

    SyncSettings settings() const;
    QString password() const;

private:
    void loadBooks();
    void accept() override;

    SyncSettings m_initial;
    std::function<std::vector<Collection>(const SyncSettings&, const QString&)> m_findBooks;
    QLineEdit* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QCheckBox* m_insecure;
    QComboBox* m_books;
    QComboBox* m_calendars;
    QCheckBox* m_nameDays;
};

// Both versions side by side, one choice per row; nullopt when cancelled.
std::optional<std::vector<Choice>> askConflicts(const LocalSide& side, const std::vector<Conflict>& conflicts,
                                                QWidget* parent);
bool askPairs(const LocalSide& side, const std::vector<Pair>& pairs, QWidget* parent);

} // namespace davsync
