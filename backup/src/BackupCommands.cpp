#include "backup/BackupCommands.h"

#include "BackupTexts.h"
#include "backup/ArchiverCommand.h"
#include "backup/ArchiverSettings.h"
#include "backup/BackupSet.h"
#include "backup/FileCopy.h"
#include "backup/TZalhForm.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Catalogue.h"
#include "widgets/UnsavedWork.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cerrno>

namespace backup {

namespace {

const QString kBackupDirName = QStringLiteral("Zaloha");

QString workPath(const QString& name)
{
    return QDir(platform::services().paths->workDir()).filePath(name);
}

// Copying a large table takes a moment: the pointer says so meanwhile.
class BusyCursor {
public:
    BusyCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

BackupCommands::BackupCommands(Wiring wiring) : m_wiring(std::move(wiring)) {}

bool BackupCommands::DisketaVlozena()
{
    return platform::services().drives->floppyFreeSpace().has_value();
}

void BackupCommands::ZalohaNaDiskClick()
{
    const QDateTime now = platform::services().clock->now();
    {
        BusyCursor busy;
        copyBackupSet(workPath(QString::fromLatin1(store::kDataDirName)), workPath(kBackupDirName), now);
    }
    m_wiring.log->logBackup(BackupKind::Disk);
    sound::toneDone(m_speaker);
    platform::services().dialogs->information(texts::kDiskDone);
}

void BackupCommands::ZalohaNaDisketyARJClick()
{
    platform::Services& services = platform::services();
    const QString directory = readArchiverDirectory();
    const QString commandLine = archiverCommandLine(directory);

    ArchiverPlaces places;
    places.floppy = services.drives->floppyPath();
    places.workDrive = QDir::tempPath();
    places.workDir = services.paths->workDir();
    if (findArchiverProgram(directory, places).isEmpty())
        throw BackupError(texts::kArchiverMissing.arg(directory));

    if (!DisketaVlozena()) {
        services.dialogs->warning(texts::kNoDisk);
        // Without a disk the archive would land in the empty mount folder.
        if (!DisketaVlozena())
            throw BackupError(texts::kStillNoDisk.arg(places.floppy));
    }

    // The archiver reads consistent copies, not the open tables, and its
    // folder goes when it ends; the copies' marker is the stamp of this run.
    QTemporaryDir snapshot(QDir(QDir::tempPath()).filePath(QStringLiteral("pelmir-arj-XXXXXX")));
    if (!snapshot.isValid())
        throw BackupError(texts::kCannotCreate.arg(snapshot.path(), snapshot.errorString()));
    const QString snapshotData = QDir(snapshot.path()).filePath(QString::fromLatin1(store::kDataDirName));
    if (!QDir().mkpath(snapshotData))
        throw BackupError(texts::kCannotCreate.arg(snapshotData, systemReason(errno)));
    {
        BusyCursor busy;
        copyBackupSet(workPath(QString::fromLatin1(store::kDataDirName)), snapshotData, services.clock->now());
    }
    places.currentDir = snapshot.path();
    places.stamp = QDir(snapshotData).filePath(kManifestName);

    const std::optional<ProcessLaunch> archiver = archiverLaunch(commandLine, directory, places);
    if (!archiver)
        throw BackupError(texts::kArchiverMissing.arg(directory));
    const ProcessLaunch launch = inArchiverWindow(*archiver, m_wiring.terminal, snapshot.path());
    if (!services.processes->startDetached(launch.program, launch.arguments, launch.workingDirectory))
        throw BackupError(texts::kArchiverNotStarted.arg(archiver->program));
    // From here on the archiver removes the folder when it ends.
    snapshot.setAutoRemove(false);
    m_wiring.log->logBackup(BackupKind::Floppy);
}

void BackupCommands::ObnovaZDiskuClick()
{
    startRestore({});
}

void BackupCommands::ObnovaZDisketARJClick()
{
    startRestore({kRestoreFromFloppy});
}

void BackupCommands::startRestore(const QStringList& arguments)
{
    // The restore replaces the tables once this program has ended: it starts
    // only when no window holds unsaved work, or the user let it go.
    if (!widgets::UnsavedWork::settleAll())
        return;
    platform::Services& services = platform::services();
    // The restore program waits for this program to end and let go of the tables.
    const QStringList withPid =
        arguments + QStringList{kRestoreWaitFor, QString::number(QCoreApplication::applicationPid())};
    if (!services.processes->startDetached(m_wiring.restoreProgram, withPid, services.paths->workDir()))
        throw BackupError(texts::kRestoreNotStarted.arg(m_wiring.restoreProgram));
    m_wiring.endSystem();
}

} // namespace backup
