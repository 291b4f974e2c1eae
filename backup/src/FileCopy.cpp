#include "backup/FileCopy.h"

#include "BackupTexts.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace backup {

namespace {

// Large blocks: a table of a hundred megabytes in 2048-byte blocks took
// tens of thousands of reads and writes, several times the time of the disk.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;
// What one call of the kernel's copy may move; it returns sooner at the end.
constexpr std::size_t kKernelChunk = std::size_t{64} << 20;

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
    int release() { return std::exchange(m_fd, -1); }
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

namespace {

// Copies the rest of `in`, from where it stands, with reads and writes.
void copyByBlocks(int in, int out, const QString& source, const QString& target)
{
    std::vector<char> buffer(kBlockSize);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(texts::kCannotRead, source, errno);
        if (got == 0)
            return;
        ssize_t written = 0;
        while (written < got) {
            const ssize_t put = ::write(out, buffer.data() + written, static_cast<std::size_t>(got - written));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                fail(texts::kCannotWrite, target, errno);
            if (put == 0)
                fail(texts::kCannotWrite, target, ENOSPC);
            written += put;
        }
    }
}

// Copies inside the kernel from where both files stand; false leaves the
// rest to copyByBlocks: a file system or device that cannot, or an error,
// which the plain copy meets again and attributes to the right file.
bool copyInKernel(int in, int out, off_t size)
{
    off_t done = 0;
    for (;;) {
        const ssize_t moved = ::copy_file_range(in, nullptr, out, nullptr, kKernelChunk, 0);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0)
            return false;
        // Some file systems answer 0 for files they cannot copy this way.
        if (moved == 0)
            return done >= size;
        done += moved;
    }
}

} // namespace

UnflushedCopy::UnflushedCopy(const QString& source, const QString& target) : m_target(target)
{
    const QByteArray sourceName = QFile::encodeName(source);
    const QByteArray targetName = QFile::encodeName(target);
    Descriptor in(::open(sourceName.constData(), O_RDONLY | O_CLOEXEC));
    if (!in.valid())
        fail(texts::kCannotOpen, source, errno);
    struct stat status {};
    if (::fstat(in.get(), &status) != 0)
        fail(texts::kCannotRead, source, errno);
    Descriptor out(::open(targetName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out.valid())
        fail(texts::kCannotCreate, target, errno);

    if (!copyInKernel(in.get(), out.get(), status.st_size))
        copyByBlocks(in.get(), out.get(), source, target);
    const off_t end = ::lseek(out.get(), 0, SEEK_CUR);
    m_size = end > 0 ? end : 0;
    // The disk starts on the copy now; flush() only waits for the rest. A
    // device that cannot (ESPIPE, EINVAL) is flushed by flush() alone.
    ::sync_file_range(out.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    m_fd = out.release();
}

UnflushedCopy::UnflushedCopy(UnflushedCopy&& other) noexcept
    : m_target(std::move(other.m_target)), m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size)
{
}

UnflushedCopy::~UnflushedCopy()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void UnflushedCopy::flush()
{
    Descriptor out(std::exchange(m_fd, -1));
    if (!out.valid())
        return;
    // A copy still in the page cache is not yet a backup.
    if (::fsync(out.get()) != 0 && errno != EINVAL) // EINVAL: a device that keeps no cache
        fail(texts::kCannotWrite, m_target, errno);
    if (out.close() != 0)
        fail(texts::kCannotWrite, m_target, errno);
}

void KopirujSoubor(const QString& source, const QString& target)
{
    UnflushedCopy(source, target).flush();
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
