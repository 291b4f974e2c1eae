#include "backup/RestoreProgram.h"

#include "BackupTexts.h"
#include "RestoreTexts.h"
#include "backup/ArchiverCommand.h"
#include "backup/ArchiverSettings.h"
#include "backup/BackupCommands.h"
#include "backup/FileCopy.h"
#include "backup/Restore.h"

#include "platform/Platform.h"
#include "store/Catalogue.h"
#include "store/Errors.h"
#include "store/InstanceLock.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <memory>

namespace backup {

namespace {

const QString kWorkDirOption = QStringLiteral("--workdir");
const QString kStagingName = QStringLiteral(".obnova");
const QString kUnpackedName = QStringLiteral(".obnova-arj");
const QString kBackupDirName = QStringLiteral("Zaloha");
constexpr std::uint32_t kLockPollMs = 100;

QString takenText(const QDateTime& taken)
{
    return QLocale(QLocale::Czech).toString(taken, QStringLiteral("d.M.yyyy H:mm:ss"));
}

std::unique_ptr<store::InstanceLock> acquireLock(const QString& dataDir)
{
    try {
        return store::InstanceLock::acquire(QFile::encodeName(dataDir).toStdString());
    } catch (const std::exception& error) {
        throw BackupError(QString::fromUtf8(error.what()));
    }
}

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The lock of the data directory. Only the program that started the restore
// is waited for while it ends; anybody else holding the lock (the program
// started by hand, or another one) is refused at once. nullptr when held.
std::unique_ptr<store::InstanceLock> takeLock(const QString& dataDir, qint64 startedBy, int waitMs)
{
    platform::Clock& clock = *platform::services().clock;
    const std::uint32_t started = clock.tickCount();
    for (;;) {
        std::unique_ptr<store::InstanceLock> lock = acquireLock(dataDir);
        // A program that ended lets go of the lock even before its parent
        // has reaped it, so the lock is tried first, the process second.
        if (lock || !processRuns(startedBy))
            return lock;
        const std::uint32_t waited = clock.tickCount() - started;
        if (waited >= static_cast<std::uint32_t>(waitMs))
            return nullptr;
        clock.waitHint(std::min<std::uint32_t>(static_cast<std::uint32_t>(waitMs) - waited, kLockPollMs));
        QThread::msleep(kLockPollMs);
    }
}

// A name in `dir` matched without regard to case; empty when there is none.
QString findEntry(const QString& dir, const QString& name)
{
    for (const QString& entry : QDir(dir).entryList(QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(dir).filePath(entry);
    }
    return {};
}

// The floppy's archive unpacked into `unpacked`; returns the folder of its tables.
QString unpackFloppy(const QString& workDir, const QString& unpacked)
{
    platform::Services& services = platform::services();
    const QString floppy = services.drives->floppyPath();
    if (!BackupCommands::DisketaVlozena()) {
        services.dialogs->warning(texts::kNoDisk);
        if (!BackupCommands::DisketaVlozena())
            throw BackupError(texts::kNoFloppyArchive.arg(floppy, kFloppyArchiveName));
    }
    const QString archive = findEntry(floppy, kFloppyArchiveName);
    if (archive.isEmpty())
        throw BackupError(texts::kNoFloppyArchive.arg(floppy, kFloppyArchiveName));

    // The archiver the floppy backup used, else Debian's on the PATH.
    QString directory;
    if (archiverDirectorySet())
        directory = readArchiverDirectory();
    ArchiverPlaces places;
    places.floppy = floppy;
    places.workDrive = QDir::tempPath();
    places.workDir = workDir;
    QString archiver = findArchiverProgram(directory, places);
    if (archiver.isEmpty())
        archiver = QStandardPaths::findExecutable(QStringLiteral("arj"));
    if (archiver.isEmpty())
        throw BackupError(texts::kNoArchiver.arg(directory));
    if (!QDir().mkpath(unpacked))
        throw BackupError(texts::kCannotCreate.arg(unpacked, systemReason(errno)));
    extractArchive(archiver, archive, unpacked);
    return QDir(unpacked).filePath(QString::fromLatin1(store::kDataDirName));
}

// Everything between taking the lock and letting it go. 0: restored or
// declined; 1: refused, with `Data` as it was.
int restoreUnderLock(const RestoreRequest& request, const QString& dataDir)
{
    platform::Services& services = platform::services();
    const QString staging = QDir(dataDir).filePath(kStagingName);
    const QString unpacked = QDir(dataDir).filePath(kUnpackedName);
    const auto clear = [&] {
        QDir(staging).removeRecursively();
        QDir(unpacked).removeRecursively();
    };
    try {
        // A restore stopped half way is undone before anything else.
        const QString undone = undoInterruptedRestore(dataDir);
        if (!undone.isEmpty())
            services.dialogs->information(undone);
    } catch (const BackupError& error) {
        services.dialogs->errorBox(error.message());
        return 1;
    }
    clear(); // what an interrupted restore left
    const auto cleanup = qScopeGuard(clear);
    try {
        if (!QDir().mkpath(staging))
            throw BackupError(texts::kCannotCreate.arg(staging, systemReason(errno)));
        const QString backupDir = request.fromFloppy ? unpackFloppy(request.workDir, unpacked)
                                                     : QDir(request.workDir).filePath(kBackupDirName);
        const BackupContents contents = stageBackup(backupDir, staging);

        QString replaced = replacedFolderName(services.clock->now());
        for (int n = 2; QFileInfo::exists(QDir(dataDir).filePath(replaced)); ++n)
            replaced = replacedFolderName(services.clock->now()) + QLatin1Char('-') + QString::number(n);
        if (!services.dialogs->confirm(restoreQuestion(contents, replaced)))
            return 0;
        replaceTables(staging, dataDir, replaced, request.observer);
        services.dialogs->information(
            texts::kRestored.arg(takenText(contents.taken), QDir(dataDir).filePath(replaced)));
        return 0;
    } catch (const RestoreNotUndone& error) {
        // Data are not as they were: the message says where the tables are.
        services.dialogs->errorBox(error.message());
        return 1;
    } catch (const BackupError& error) {
        services.dialogs->errorBox(texts::kRefused.arg(error.message()));
        return 1;
    }
}

} // namespace

RestoreRequest parseRestoreArguments(const QStringList& arguments, const QString& currentDir)
{
    RestoreRequest request;
    request.workDir = currentDir;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == kRestoreFromFloppy) {
            request.fromFloppy = true;
        } else if (argument == kWorkDirOption && i + 1 < arguments.size()) {
            request.workDir = arguments[++i];
        } else if (argument.startsWith(kWorkDirOption + QLatin1Char('='))) {
            request.workDir = argument.mid(kWorkDirOption.size() + 1);
        } else if (argument == kRestoreWaitFor && i + 1 < arguments.size() && arguments[i + 1].toLongLong() > 0) {
            request.waitFor = arguments[++i].toLongLong();
        } else {
            request.error = texts::kBadArgument.arg(argument);
        }
    }
    request.workDir = QDir(request.workDir).absolutePath();
    return request;
}

int runRestore(const RestoreRequest& request)
{
    platform::Services& services = platform::services();
    if (!request.error.isEmpty()) {
        services.dialogs->errorBox(request.error);
        return 2;
    }
    const QString dataDir = QDir(request.workDir).filePath(QString::fromLatin1(store::kDataDirName));
    if (!QFileInfo(dataDir).isDir()) {
        services.dialogs->errorBox(texts::kNoDataDir.arg(dataDir));
        return 1;
    }
    std::unique_ptr<store::InstanceLock> lock;
    try {
        lock = takeLock(dataDir, request.waitFor, request.lockWaitMs);
    } catch (const BackupError& error) {
        services.dialogs->errorBox(error.message());
        return 1;
    }
    if (!lock) {
        // The program still runs there: it is not started a second time.
        services.dialogs->errorBox(texts::kStillRunning.arg(request.workDir));
        return 1;
    }
    const int code = restoreUnderLock(request, dataDir);
    lock.reset();
    if (!request.mainProgram.isEmpty() &&
        !services.processes->startDetached(request.mainProgram, {kWorkDirOption, request.workDir},
                                           request.workDir)) {
        services.dialogs->errorBox(texts::kMainNotStarted.arg(request.mainProgram));
    }
    return code;
}

QString withRestoreProgramAdvice(const QString& message, const QString& restoreProgram, const QString& workDir)
{
    const QString menu = QString::fromUtf8(store::kRestoreMenuAdvice);
    if (!message.contains(menu))
        return message;
    // A program name of plain characters is shown as it is, to be typed.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9/._+-]+$"));
    const QString program = plain.match(restoreProgram).hasMatch() ? restoreProgram : shellQuoted(restoreProgram);
    return QString(message).replace(menu, texts::kByRestoreProgram) + QStringLiteral("\n\n") +
           texts::kStartRestoreProgram.arg(program, shellQuoted(workDir));
}

} // namespace backup
