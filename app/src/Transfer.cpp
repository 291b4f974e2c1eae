// `pelmir --import FILE` and `pelmir --export FILE`: no window, the working
// directory's lock taken like the program takes it, the result on the
// standard outputs and in the exit code.

#include "app/Application.h"
#include "app/WorkDir.h"

#include "CommandWorkDir.h"

#include "store/Catalogue.h"
#include "store/Database.h"

#include "interchange/CommandLineTransfer.h"
#include "interchange/Log.h"
#include "sync/NameDayCalendar.h"

#include "platform/RealServices.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <filesystem>

namespace app {

namespace {
const QString kBadConflicts = QStringLiteral("Volba --conflicts bere skip, replace nebo keep, ne „%1“.");
const QString kBadEncoding = QStringLiteral("Volba --encoding bere jen windows-1250 (jinak se píše UTF-8), ne „%1“.");
const QString kRunning = QStringLiteral(
    "Pelmir a telefony běží nad tímto pracovním adresářem; ukončete ho a spusťte přenos znovu.");
} // namespace

int runTransfer(const CommandLine& commandLine)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!commandLine.error.isEmpty()) {
        err << commandLine.error << '\n';
        return 2;
    }
    const std::optional<interchange::Choice> choice = interchange::choiceFromText(commandLine.conflicts);
    if (!choice) {
        err << kBadConflicts.arg(commandLine.conflicts) << '\n';
        return 2;
    }
    const bool windows1250 = commandLine.encoding.compare(QLatin1String("windows-1250"), Qt::CaseInsensitive) == 0 ||
                             commandLine.encoding.compare(QLatin1String("cp1250"), Qt::CaseInsensitive) == 0;
    if (!commandLine.encoding.isEmpty() && !windows1250 &&
        commandLine.encoding.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) != 0) {
        err << kBadEncoding.arg(commandLine.encoding) << '\n';
        return 2;
    }

    std::optional<CommandWorkDir> locked = lockCommandWorkDir(commandLine, kRunning, err);
    if (!locked)
        return 1;
    const QString workDir = locked->dir;
    const std::filesystem::path dataDir = locked->dataDir;
    // What libraries say in English goes to the working directory's log, not to the terminal.
    interchange::setLogFile(QDir(workDir).filePath(QStringLiteral("pelmir.log")));
    // Relative file names mean where the command was given, not the working directory.
    const QString here = QDir::currentPath();
    try {
        store::Database database(dataDir);
        database.registerPassword(store::dataTablesPassword());
        // A calendar file: the name days and anniversaries, not the addresses.
        if (commandLine.exportPath.endsWith(QLatin1String(".ics"), Qt::CaseInsensitive))
            return davsync::exportNameDaysFromCommandLine(database, QDir(here).absoluteFilePath(commandLine.exportPath),
                                                          QDateTime::currentDateTimeUtc(), out, err);
        if (!commandLine.exportPath.isEmpty())
            return interchange::exportFromCommandLine(database, QDir(here).absoluteFilePath(commandLine.exportPath),
                                                      windows1250, out, err);
        std::vector<std::string> passwords{store::dataTablesPassword()};
        if (!commandLine.password.isEmpty())
            passwords.push_back(commandLine.password.toStdString());
        return interchange::importFromCommandLine(database, QDir(here).absoluteFilePath(commandLine.importPath),
                                                  *choice, passwords, out, err);
    } catch (const std::exception& error) {
        err << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
}

} // namespace app
