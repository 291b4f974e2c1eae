#include "platform/RealServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

namespace platform {

bool QtProcesses::startDetached(const QString& program, const QStringList& arguments,
                                const QString& workingDirectory)
{
    return QProcess::startDetached(program, arguments, workingDirectory);
}

ConfiguredDrives::ConfiguredDrives(const QString& mountPoint)
    : m_mountPoint(!mountPoint.isEmpty()
                       ? mountPoint
                       : qEnvironmentVariable("PELMIR_FLOPPY", QStringLiteral("/media/floppy")))
{
}

std::optional<qint64> ConfiguredDrives::floppyFreeSpace() const
{
    const QString path = QFileInfo(m_mountPoint).canonicalFilePath();
    if (path.isEmpty())
        return std::nullopt;
    const QStorageInfo storage(path);
    // A folder that is not itself mounted belongs to the disk it lies on: no
    // floppy in the drive, however much room that disk has.
    if (!storage.isValid() || !storage.isReady() || storage.rootPath() != path)
        return std::nullopt;
    return storage.bytesAvailable();
}

QString installedFile(const QString& programDir, const QString& name)
{
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("../share/pelmir/") + name));
}

RealPaths::RealPaths(const QString& workDir) : m_workDir(workDir) {}

QString RealPaths::autostartDir() const
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative value.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(config).filePath(QStringLiteral("autostart"));
}

QString RealPaths::helpLocation() const
{
    return installedFile(QCoreApplication::applicationDirPath(), QStringLiteral("help"));
}

QString RealPaths::documentsDir() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

RealServices::RealServices(const QString& workDir) : paths(workDir) {}

Services RealServices::services()
{
    return {&clock, &dialogs, nullptr, &printer, &processes, &drives, &paths, nullptr, &progress};
}

} // namespace platform
