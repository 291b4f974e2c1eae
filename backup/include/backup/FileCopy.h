#pragma once

#include <QString>

#include <stdexcept>

namespace backup {

// A failure of a backup or a restore, its message in Czech for the error box:
// what could not be done, with which file, and the system's reason.
class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// The system's reason for an error number, in Czech for the common ones.
QString systemReason(int errorNumber);

// Copies one file in blocks of 2048 bytes; the target is created, or emptied
// when it exists, and flushed to the disk before the copy counts as done. A
// write that takes fewer bytes than were read (a full disk) is an error, not
// a shorter copy. Throws BackupError naming the file and the reason.
void KopirujSoubor(const QString& source, const QString& target);

// Renames a file within one disk, in one step (BackupError naming both).
void moveFile(const QString& from, const QString& to);
// Makes the entries of a folder (new, renamed and removed files) last on the
// disk; a rename is not safe from a power cut before this.
void syncDirectory(const QString& dir);

} // namespace backup
