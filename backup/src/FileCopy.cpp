#include "backup/FileCopy.h"

#include "BackupTexts.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace backup {

namespace {

constexpr std::size_t kBlockSize = 2048;

// A file descriptor that closes itself; close() reports a late write error.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

[[noreturn]] void fail(const QString& text, const QString& path, int errorNumber)
{
    throw BackupError(text.arg(path, systemReason(errorNumber)));
}

} // namespace

QString systemReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return texts::kReasonNotFound;
    case EACCES:
    case EPERM: return texts::kReasonAccess;
    case ENOSPC: return texts::kReasonFull;
    case EDQUOT: return texts::kReasonQuota;
    case EFBIG: return texts::kReasonTooLarge;
    case EROFS: return texts::kReasonReadOnly;
    case ENOTDIR: return texts::kReasonNotDirectory;
    case EISDIR: return texts::kReasonIsDirectory;
    case EIO: return texts::kReasonIo;
    default: return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

void KopirujSoubor(const QString& source, const QString& target)
{
    const QByteArray sourceName = QFile::encodeName(source);
    const QByteArray targetName = QFile::encodeName(target);
    Descriptor in(::open(sourceName.constData(), O_RDONLY | O_CLOEXEC));
    if (!in.valid())
        fail(texts::kCannotOpen, source, errno);
    Descriptor out(::open(targetName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out.valid())
        fail(texts::kCannotCreate, target, errno);

    char buffer[kBlockSize];
    for (;;) {
        ssize_t got = ::read(in.get(), buffer, kBlockSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(texts::kCannotRead, source, errno);
        if (got == 0)
            break;
        ssize_t written = 0;
        while (written < got) {
            const ssize_t put = ::write(out.get(), buffer + written, static_cast<std::size_t>(got - written));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                fail(texts::kCannotWrite, target, errno);
            if (put == 0)
                fail(texts::kCannotWrite, target, ENOSPC);
            written += put;
        }
    }
    // A copy still in the page cache is not yet a backup.
    if (::fsync(out.get()) != 0 && errno != EINVAL) // EINVAL: a device that keeps no cache
        fail(texts::kCannotWrite, target, errno);
    if (out.close() != 0)
        fail(texts::kCannotWrite, target, errno);
}

void moveFile(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw BackupError(texts::kCannotMove.arg(from, to, systemReason(errno)));
}

void syncDirectory(const QString& dir)
{
    Descriptor folder(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid() || (::fsync(folder.get()) != 0 && errno != EINVAL))
        fail(texts::kCannotWrite, dir, errno);
}

} // namespace backup
