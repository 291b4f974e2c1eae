#include "platform/OwnFiles.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISLNK(mode))
        return QStringLiteral("symbolický odkaz");
    if (S_ISDIR(mode))
        return QStringLiteral("složka");
    if (S_ISFIFO(mode))
        return QStringLiteral("roura (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("zařízení");
    if (S_ISSOCK(mode))
        return QStringLiteral("soket");
    return QStringLiteral("zvláštní soubor");
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes a descriptor when the read ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

FileCheck checkOwnFile(const QString& path)
{
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &info) != 0)
        return {FileState::Missing, {}};
    if (S_ISREG(info.st_mode))
        return {FileState::Regular, {}};
    return {FileState::Other, kindOf(info.st_mode)};
}

QString notAFileText(const QString& path, const QString& what)
{
    return QStringLiteral("Na místě souboru %1 je %2, ne obyčejný soubor. Program jej nečte ani nepřepisuje; "
                          "odstraňte jej, nebo jej nahraďte souborem.")
        .arg(path, what);
}

ReadResult readOwnFile(const QString& path, qint64 limit)
{
    ReadResult result;
    const QByteArray name = QFile::encodeName(path);
    // No link is followed, and a pipe does not block the opening: what is
    // opened is looked at before a byte is read from it.
    Descriptor file{::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        const int error = errno;
        const FileCheck check = checkOwnFile(path);
        if (check.state == FileState::Missing) {
            result.missing = true;
            result.error = QStringLiteral("Soubor %1 neexistuje.").arg(path);
        } else if (check.state == FileState::Other) {
            result.error = notAFileText(path, check.what);
        } else {
            result.error = QStringLiteral("Soubor %1 nelze číst: %2.").arg(path, systemError(error));
        }
        return result;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.error = notAFileText(path, kindOf(info.st_mode));
        return result;
    }
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit, info.st_size)));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = QStringLiteral("Soubor %1 nelze číst: %2.").arg(path, systemError(errno));
            return result;
        }
        if (n == 0)
            break; // shorter than it said: what was there is what it holds
        done += n;
    }
    bytes.resize(done);
    result.whole = info.st_size <= limit;
    result.bytes = std::move(bytes);
    return result;
}

WriteResult writeOwnFile(const QString& path, const QByteArray& bytes)
{
    const FileCheck check = checkOwnFile(path);
    if (check.state == FileState::Other)
        return {WriteFailure::NotAFile, notAFileText(path, check.what)};
    QSaveFile file(path);
    // Never written in place: a failed write must leave the old file whole.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return {WriteFailure::CannotCreate, file.errorString()};
    // The bytes are buffered; a full disk shows only when they are flushed,
    // and commit() alone may report success over a failed buffered write.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit(); // removes the temporary file
        return {WriteFailure::WriteFailed,
                QStringLiteral("Soubor %1 nelze zapsat: %2. Původní soubor zůstal beze změny.").arg(path, reason)};
    }
    if (!file.commit())
        return {WriteFailure::WriteFailed,
                QStringLiteral("Soubor %1 nelze zapsat: %2. Původní soubor zůstal beze změny.")
                    .arg(path, file.errorString())};
    return {};
}

} // namespace platform
