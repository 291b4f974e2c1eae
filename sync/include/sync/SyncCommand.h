#pragma once

// `pelmir --sync`: a sync without a display, for scripts and timers. The
// saved settings, or those given; the password from the keyring, or read
// from standard input (--password-stdin, as `docker login` reads it).
// Conflicts keep the server's version and say so; a first sync that pairs
// records with server items by name writes nothing unless --yes accepts
// the pairs it lists.

#include "sync/Http.h"
#include "sync/Passwords.h"

#include <QDateTime>
#include <QString>
#include <QTextStream>

#include <functional>
#include <memory>

namespace store {
class Database;
}

namespace davsync {

struct SyncCommand {
    QString server;
    QString user;
    QString addressBook;
    QString calendar;      // the planner's calendar: syncs the planner from now on
    bool nameDays = false; // keeps the name days in their calendar from now on
    bool passwordStdin = false;
    bool acceptPairs = false;
};

using TransportFactory = std::function<std::unique_ptr<Transport>(const QString& user, const QString& password)>;

// 0 done, 1 failed (a Czech message on `err`), 2 the command cannot be run as given.
int runSyncCommand(store::Database& database, const QString& workDir, const SyncCommand& command, QTextStream& in,
                   QTextStream& out, QTextStream& err, PasswordStore& passwords, const TransportFactory& transport,
                   const QDateTime& stamp);

} // namespace davsync
