#include "backup/ArchiverSettings.h"

#include "BackupTexts.h"
#include "backup/FileCopy.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>

namespace backup {

namespace {

// Qt keeps no error number; the common causes are told apart here.
int errorNumberOf(const QFileDevice& file)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError: return EACCES;
    case QFileDevice::ResourceError: return ENOSPC;
    default: return QFile::exists(file.fileName()) ? EIO : ENOENT;
    }
}

} // namespace

QString archiverFilePath()
{
    return QDir(platform::services().paths->workDir()).filePath(kArchiverFileName);
}

void ensureArchiverFile()
{
    const QString path = archiverFilePath();
    if (QFile::exists(path))
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw BackupError(texts::kCannotCreate.arg(path, systemReason(errorNumberOf(file))));
}

bool archiverDirectorySet()
{
    QFile file(archiverFilePath());
    return file.open(QIODevice::ReadOnly) && !file.readLine().trimmed().isEmpty();
}

QString readArchiverDirectory()
{
    QFile file(archiverFilePath());
    if (!file.open(QIODevice::ReadOnly))
        throw BackupError(texts::kCannotOpen.arg(file.fileName(), systemReason(errorNumberOf(file))));
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

void writeArchiverDirectory(const QString& directory)
{
    QSaveFile file(archiverFilePath());
    const QByteArray bytes = directory.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw BackupError(texts::kCannotWrite.arg(file.fileName(), systemReason(errorNumberOf(file))));
}

} // namespace backup
