// `pelmir --sync`: no window and no display, the working directory's lock
// taken like the program takes it, the result on the standard outputs and
// in the exit code.

#include "app/Application.h"
#include "app/WorkDir.h"

#include "CommandWorkDir.h"

#include "store/Catalogue.h"
#include "store/Database.h"

#include "sync/Passwords.h"
#include "sync/QtTransport.h"
#include "sync/SyncCommand.h"

#include "platform/RealServices.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTextStream>

#include <filesystem>

namespace app {

namespace {
const QString kRunning = QStringLiteral(
    "Pelmir a telefony běží nad tímto pracovním adresářem; ukončete ho a spusťte synchronizaci znovu, nebo "
    "synchronizujte z jeho menu Zálohování.");
} // namespace

int runSync(const CommandLine& commandLine)
{
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    std::optional<CommandWorkDir> locked = lockCommandWorkDir(commandLine, kRunning, err);
    if (!locked)
        return 1;
    const QString workDir = locked->dir;
    const std::filesystem::path dataDir = locked->dataDir;
    davsync::SyncCommand command;
    command.server = commandLine.syncServer;
    command.user = commandLine.syncUser;
    command.addressBook = commandLine.addressBook;
    command.calendar = commandLine.calendar;
    command.nameDays = commandLine.nameDays;
    command.passwordStdin = commandLine.passwordStdin;
    command.acceptPairs = commandLine.acceptPairs;
    try {
        store::Database database(dataDir);
        database.registerPassword(store::dataTablesPassword());
        // The keyring is asked only when no password comes on standard input.
        const std::unique_ptr<davsync::PasswordStore> keyring = davsync::makeKeyringPasswords();
        return davsync::runSyncCommand(database, workDir, command, in, out, err, *keyring,
                                       [](const QString& user, const QString& password) {
                                           return std::make_unique<davsync::QtTransport>(user, password);
                                       },
                                       QDateTime::currentDateTimeUtc());
    } catch (const std::exception& error) {
        err << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
}

} // namespace app
