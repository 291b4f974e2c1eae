#include "store/InstanceLock.h"

#include "store/Errors.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace store {

namespace {

constexpr const char* kLockFileName = "pelmir.lock";

[[noreturn]] void throwIo(const std::string& what, const std::filesystem::path& path)
{
    const int error = errno;
    const StoreError::Kind kind = error == EACCES || error == EPERM || error == EROFS ? StoreError::Kind::ReadOnly
                                  : error == ENOSPC || error == EDQUOT             ? StoreError::Kind::DiskFull
                                                                                    : StoreError::Kind::Io;
    throw StoreError(kind, what + " " + path.string() + ": " + std::strerror(error) + ".", {},
                     what + " " + path.string() + ": " + std::strerror(error));
}

// The private lock file, removed on every way out of acquire().
struct TemporaryName {
    std::filesystem::path path;
    ~TemporaryName() { ::unlink(path.c_str()); }
};

// An open file description that closes itself unless released.
class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// The flock is what tells a live owner from a dead one: the kernel drops it
// when the owner's process ends in any way, and a recycled pid cannot hold it.
// Returns false when somebody else holds it.
bool tryLock(int fd, bool& supported)
{
    supported = true;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno == EWOULDBLOCK)
            return false;
        // File systems without flock: fall back to the pid alone.
        supported = false;
        return true;
    }
    return true;
}

bool processAlive(pid_t pid)
{
    if (pid <= 0)
        return false;
    if (::kill(pid, 0) == 0)
        return true;
    return errno != ESRCH; // EPERM: it runs, under another user
}

// The pid written in the lock file, or 0 when the content is not one (a crash
// between creating the file and writing it, or a foreign file).
pid_t readOwner(int fd)
{
    char buffer[32] = {};
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    if (n <= 0)
        return 0;
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(buffer, &end, 10);
    if (errno != 0 || end == buffer || pid <= 0 || (*end != '\n' && *end != '\0'))
        return 0;
    return static_cast<pid_t>(pid);
}

bool sameInode(int fd, const std::filesystem::path& path)
{
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) != 0 || ::stat(path.c_str(), &named) != 0)
        return false;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

enum class Inspection { Held, Gone, Cleared };

// Looks at an existing lock file: held by a live owner, vanished meanwhile,
// or stale and removed. Only a process holding the file's flock and having
// checked that the name still means that file removes it, so two starting
// instances never remove each other's fresh lock.
Inspection inspectExisting(const std::filesystem::path& file)
{
    FileHandle existing(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (existing.get() < 0) {
        if (errno == ENOENT)
            return Inspection::Gone;
        throwIo("Zámek pracovního adresáře nelze přečíst:", file);
    }
    bool supported = true;
    if (!tryLock(existing.get(), supported))
        return Inspection::Held;
    if (!sameInode(existing.get(), file))
        return Inspection::Gone; // replaced meanwhile: look again
    if (!supported) {
        const pid_t owner = readOwner(existing.get());
        if (owner != 0 && owner != ::getpid() && processAlive(owner))
            return Inspection::Held;
    }
    if (::unlink(file.c_str()) != 0 && errno != ENOENT)
        throwIo("Starý zámek pracovního adresáře nelze odstranit:", file);
    return Inspection::Cleared;
}

} // namespace

std::unique_ptr<InstanceLock> InstanceLock::acquire(const std::filesystem::path& directory)
{
    const std::filesystem::path file = directory / kLockFileName;
    std::error_code missing;
    if (!std::filesystem::is_directory(directory, missing))
        throw StoreError(StoreError::Kind::NotFound,
                         "Složka s daty " + directory.string()
                             + " neexistuje. Spusťte program v pracovním adresáři se složkou Data, nebo ji obnovte "
                               "ze zálohy.");
    // Only a lock file of ours may stand at the lock's name: anything else
    // there (a folder, a link) is no lock to take over or remove.
    struct stat existing {};
    if (::lstat(file.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        throw StoreError(StoreError::Kind::Io,
                         "Na místě zámku pracovního adresáře " + file.string()
                             + " je něco jiného než soubor (například složka). Odstraňte to a program spusťte znovu.");

    // The lock is prepared under a private name, locked and filled, and then
    // linked to its public name in one step, so nobody ever sees a lock file
    // without its owner's pid and flock.
    const TemporaryName temporary{directory / (std::string(kLockFileName) + "." + std::to_string(::getpid()))};
    ::unlink(temporary.path.c_str());
    FileHandle fd(::open(temporary.path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.get() < 0)
        throwIo("Zámek pracovního adresáře nelze vytvořit:", temporary.path);
    bool supported = true;
    tryLock(fd.get(), supported);
    const std::string content = std::to_string(::getpid()) + "\n";
    if (::write(fd.get(), content.data(), content.size()) != static_cast<ssize_t>(content.size()))
        throwIo("Zámek pracovního adresáře nelze zapsat:", temporary.path);
    ::fsync(fd.get());

    // A few rounds are enough: each round either links, finds a live owner, or
    // clears a stale file; only a race with another starting instance repeats.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (::link(temporary.path.c_str(), file.c_str()) == 0)
            return std::unique_ptr<InstanceLock>(new InstanceLock(file, fd.release()));
        if (errno != EEXIST)
            throwIo("Zámek pracovního adresáře nelze vytvořit:", file);
        if (inspectExisting(file) == Inspection::Held)
            return nullptr;
    }
    return nullptr;
}

InstanceLock::InstanceLock(std::filesystem::path file, int fd) : m_file(std::move(file)), m_fd(fd) {}

InstanceLock::~InstanceLock()
{
    // Removed while still locked, so a process waiting on this file finds the
    // name gone (or replaced) and starts over instead of removing a new lock.
    if (sameInode(m_fd, m_file))
        ::unlink(m_file.c_str());
    ::close(m_fd);
}

} // namespace store
