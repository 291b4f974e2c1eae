#pragma once

// Where the data sync with: the server, the user, the chosen collections.
// Kept in the working directory's file Synchronizace.cfg, one "name=value"
// a line; the password never goes there (it lives in the desktop's keyring).

#include <QString>
#include <QUrl>

#include <optional>

namespace davsync {

inline constexpr const char* kSettingsFileName = "Synchronizace.cfg";

struct SyncSettings {
    QUrl server;
    QString user;
    QString addressBook;      // path of the address book on the server
    QString addressBookName;  // its display name, for the user
    // The planner's calendar: synced when `planner` is on; made when the path is empty.
    bool planner = false;
    QString calendar;
    QString calendarName;
    // The name days and anniversaries kept in a calendar of their own.
    bool nameDays = false;
    QString nameDaysCalendar;
    QString nameDaysName;
    // The user accepted sending the password unencrypted to this server.
    bool insecureAccepted = false;

    bool configured() const { return server.isValid() && !server.host().isEmpty(); }
};

// nullopt (and a Czech reason) when the file cannot be read; a missing file
// gives empty settings.
std::optional<SyncSettings> loadSyncSettings(const QString& workDir, QString* error);
// Replaces the file whole or leaves it as it was (false and a reason).
bool saveSyncSettings(const QString& workDir, const SyncSettings& settings, QString* error);

// Why a server address cannot be used (empty when it can): only http and
// https, a host; http only to this machine unless `insecureAccepted`.
QString serverAddressProblem(const QUrl& server, bool insecureAccepted);
// http to another machine: the password would travel readable.
bool isInsecure(const QUrl& server);

// The name under which the password is kept: user and server.
QString passwordAccount(const SyncSettings& settings);

} // namespace davsync
