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

// A copy of one file whose bytes are written but perhaps not yet on the
// disk: the system has been told to start writing them, so that other work
// (checking the copy) runs while the disk is busy. The target is created, or
// emptied when it exists. The bytes move inside the kernel where it can
// (`copy_file_range`), otherwise in large blocks. A write that takes fewer
// bytes than were read (a full disk) is an error, not a shorter copy. Throws
// BackupError naming the file and the reason.
class UnflushedCopy {
public:
    UnflushedCopy(const QString& source, const QString& target);
    ~UnflushedCopy();
    UnflushedCopy(UnflushedCopy&& other) noexcept;
    UnflushedCopy& operator=(UnflushedCopy&&) = delete;
    UnflushedCopy(const UnflushedCopy&) = delete;
    UnflushedCopy& operator=(const UnflushedCopy&) = delete;

    qint64 size() const { return m_size; }
    // Waits until the copy is on the disk; only then does it count as done.
    // Any write error the system met meanwhile is reported here.
    void flush();

private:
    QString m_target;
    int m_fd = -1;
    qint64 m_size = 0;
};

// Copies one file and flushes it to the disk before the copy counts as done.
void KopirujSoubor(const QString& source, const QString& target);

// Renames a file within one disk, in one step (BackupError naming both).
void moveFile(const QString& from, const QString& to);
// Makes the entries of a folder (new, renamed and removed files) last on the
// disk; a rename is not safe from a power cut before this.
void syncDirectory(const QString& dir);

} // namespace backup
