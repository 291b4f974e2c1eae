#pragma once

// The program's own small files (settings, the autostart entry): only
// regular files are read or written. A symbolic link, a folder, a pipe or a
// device in a file's place is refused with a clear text, never followed,
// opened or replaced; reads are limited in size; a write goes to a temporary
// file that replaces the old one only once every byte has been written, so a
// full disk leaves the old file as it was.

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

enum class FileState { Missing, Regular, Other };

struct FileCheck {
    FileState state = FileState::Missing;
    QString what; // for Other: what is there instead ("symbolický odkaz", "složka", ...)
};

// What is at the path itself (a link is not followed).
FileCheck checkOwnFile(const QString& path);

// The Czech text refusing a path that holds something other than a file.
QString notAFileText(const QString& path, const QString& what);

struct ReadResult {
    std::optional<QByteArray> bytes; // nullopt: not read, see error
    bool missing = false;            // nothing at the path
    bool whole = true;               // false: the file is longer than the limit
    QString error;                   // Czech, for the error box
};

// The first `limit` bytes of a regular file (never through a link).
ReadResult readOwnFile(const QString& path, qint64 limit);

enum class WriteFailure { None, NotAFile, CannotCreate, WriteFailed };

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    QString error; // Czech, for the error box; the old file is unchanged
    bool ok() const { return failure == WriteFailure::None; }
};

// Creates or replaces a regular file with these bytes, or changes nothing.
WriteResult writeOwnFile(const QString& path, const QByteArray& bytes);

} // namespace platform
