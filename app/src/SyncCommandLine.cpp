// `pelmir --sync`: no window and no display, the working directory's lock
// taken like the program takes it, the result on the standard outputs and
// in the exit code.

#include "app/Application.h"
#include "app/WorkDir.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/InstanceLock.h"

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
const QString kNoLock = QStringLiteral("Pracovní adresář nelze uzamknout: %1");
} // namespace

int runSync(const CommandLine& commandLine)
{
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const WorkDirChoice where = chooseWorkDir(commandLine, QDir::currentPath(),
                                              userWorkDir(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()));
    if (where.provision) {
        const QString error = prepareWorkDir(
            where.dir, platform::installedFile(QCoreApplication::applicationDirPath(), QStringLiteral("data")),
            QCoreApplication::applicationFilePath(), Pictures::Later);
        if (!error.isEmpty()) {
            err << error << '\n';
            return 1;
        }
    }
    const QString workDir = QDir(where.dir).absolutePath();
    const std::filesystem::path dataDir = std::filesystem::path(workDir.toStdString()) / store::kDataDirName;
    std::unique_ptr<store::InstanceLock> lock;
    try {
        lock = store::InstanceLock::acquire(dataDir);
    } catch (const std::exception& error) {
        err << kNoLock.arg(QString::fromUtf8(error.what())) << '\n';
        return 1;
    }
    if (!lock) {
        err << kRunning << '\n';
        return 1;
    }
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
