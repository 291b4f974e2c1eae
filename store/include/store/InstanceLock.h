#pragma once

#include <filesystem>
#include <memory>

namespace store {

// Keeps a second instance from working on the same data directory: an
// exclusively created lock file holding the owner's process id; a lock left by
// a process that no longer runs is cleared. Released when destroyed.
class InstanceLock {
public:
    // Returns nullptr when another live process holds the lock.
    static std::unique_ptr<InstanceLock> acquire(const std::filesystem::path& directory);
    ~InstanceLock();

private:
    explicit InstanceLock(std::filesystem::path file, int fd);
    std::filesystem::path m_file;
    int m_fd;
};

} // namespace store
