#pragma once

// The menu commands "Synchronizovat" and "Nastavení synchronizace": the
// settings dialog, the sync itself under the program's progress window, the
// questions about pairs and conflicts, and the result in a message box.

#include "sync/Passwords.h"
#include "sync/SyncCommand.h"

#include <QString>

#include <memory>

class QWidget;

namespace store {
class Database;
}

namespace davsync {

class SyncMenu {
public:
    SyncMenu(store::Database& database, QString workDir, std::unique_ptr<PasswordStore> passwords,
             TransportFactory transport);
    ~SyncMenu();

    // Syncs with the saved settings; asks for them first when there are none.
    void SynchronizovatClick(QWidget* parent);
    // Shows the settings dialog; true when the user saved settings.
    bool NastaveniSynchronizaceClick(QWidget* parent);

private:
    std::optional<QString> password(const struct SyncSettings& settings);

    store::Database& m_database;
    QString m_workDir;
    std::unique_ptr<PasswordStore> m_passwords;
    TransportFactory m_transport;
    // Kept for this run only where the desktop has no keyring.
    QString m_sessionPassword;
};

} // namespace davsync
