#pragma once

// What the benchmarks share: where the generated million-address table is
// cached, how much memory the process holds and dropping a working
// directory's tables from the page cache.

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

// $PELMIR_BENCH_CACHE, by default ./store-bench-cache; store_bench generates
// the table into its folder "table".
inline std::filesystem::path cacheDir()
{
    const char* dir = std::getenv("PELMIR_BENCH_CACHE");
    return std::filesystem::absolute(dir ? dir : "store-bench-cache");
}

// Resident memory of this process in kB.
inline long residentKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Drops the tables of a working directory from the system's page cache:
// the next start reads them from the disk.
inline void evictTables(const std::filesystem::path& workDir)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(workDir / "Data", error)) {
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::fdatasync(fd); // dirty pages would stay in the cache
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

} // namespace bench
