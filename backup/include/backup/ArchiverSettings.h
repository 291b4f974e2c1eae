#pragma once

#include <QString>

namespace backup {

// The archiver's directory, one line in the working directory's
// "Nastavzal.txt"; an empty file means that none is set.
inline const QString kArchiverFileName = QStringLiteral("Nastavzal.txt");
QString archiverFilePath();

// At start-up: creates the file empty when it is missing (BackupError when it cannot).
void ensureArchiverFile();
// Whether a directory is set: the file's first line is not empty.
bool archiverDirectorySet();
// The first line; BackupError when the file cannot be read.
QString readArchiverDirectory();
// Replaces the file's content with the directory, without a line end; the
// old content stays whole when writing fails (BackupError).
void writeArchiverDirectory(const QString& directory);

} // namespace backup
