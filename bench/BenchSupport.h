#pragma once

// What the benchmarks share: where the generated million-address table is
// cached and how much memory the process holds.

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

} // namespace bench
