// "Záloha na disk" over a working directory whose address book holds the
// 1,000,000 addresses that store_bench generates into $PELMIR_BENCH_CACHE
// (default ./store-bench-cache; run store_bench first), beside the plain copy
// of the same folder in the same run: `cp -r Data X && sync X/*` (sync on the
// copied files: the backup flushes its own files, and a sync of the whole
// system would also wait for other programs' writes). The backup runs as the
// program runs it, with the address table held open, checked and flushed;
// the reference runs as a process of its own. Both take turns, warm (files
// in the page cache) and cold (Data evicted before each run).
//   backup_bench [runs]        (seeds from $PELMIR_SOURCE_DIR/data, default ./data)

#include "BenchSupport.h"

#include "backup/BackupSet.h"

#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"

#include <QDateTime>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The time a piece of work takes, and into `cpu` the processor time it used
// (this process's threads, or the children it waited for): on a busy machine
// the wall time depends on the others' work, the processor time much less.
double seconds(const std::function<void()>& work, int who, std::vector<double>& cpu)
{
    const double cpuBefore = cpuSeconds(who);
    const auto started = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    cpu.push_back(cpuSeconds(who) - cpuBefore);
    return wall;
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string quoted(const fs::path& path)
{
    std::string out = "'";
    for (const char c : path.string())
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Figures {
    std::vector<double> runs;
    std::vector<double> cpu;
    double cpuMedian() const
    {
        std::vector<double> sorted = cpu;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double min() const { return *std::min_element(runs.begin(), runs.end()); }
    double max() const { return *std::max_element(runs.begin(), runs.end()); }
    double median() const
    {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const fs::path source = bench::cacheDir() / "table" / "Dat.DB";
    if (!fs::exists(source)) {
        std::fprintf(stderr, "no %s: run store_bench first\n", source.c_str());
        return 1;
    }
    const char* sources = std::getenv("PELMIR_SOURCE_DIR");
    const fs::path work = bench::cacheDir() / "backup-work";
    fs::remove_all(work);
    tools::makeDataDir(fs::path(sources ? sources : ".") / "data", work);
    fs::copy_file(source, work / "Data" / "Dat.DB", fs::copy_options::overwrite_existing);
    const fs::path reference = work / "cp-kopie";

    // The program holds its tables open while it backs them up.
    store::Database database(work / "Data");
    store::Cursor addresses(database, "Dat.DB");
    addresses.open();
    const QString data = QString::fromStdString((work / "Data").string());
    const QString backupDir = QString::fromStdString((work / "Zaloha").string());
    double megabytes = 0;
    for (const auto& entry : fs::directory_iterator(work / "Data"))
        megabytes += entry.is_regular_file() ? static_cast<double>(entry.file_size()) / (1024.0 * 1024.0) : 0.0;
    backup::copyBackupSet(data, backupDir, QDateTime::currentDateTime()); // the previous backup
    const std::string copyCommand = "cp -r " + quoted(work / "Data") + " " + quoted(reference) + " && sync " +
                                    quoted(reference) + "/*";

    std::printf("backup of %d addresses, %.1f MB in Data, %d runs each, load before: %s\n", addresses.recordCount(),
                megabytes, runs, loadAverage().c_str());
    std::printf("%-6s %-28s %8s %8s %8s %8s\n", "", "", "min s", "median s", "max s", "cpu s");
    for (const bool cold : {false, true}) {
        Figures backupRuns;
        Figures copyRuns;
        for (int run = 0; run < runs; ++run) {
            // Turns alternate, so that neither always follows the other's writes.
            for (int turn = 0; turn < 2; ++turn) {
                const bool backupTurn = (turn == 0) == (run % 2 == 0);
                fs::remove_all(reference);
                if (cold)
                    bench::evictTables(work);
                if (backupTurn) {
                    backupRuns.runs.push_back(seconds(
                        [&] { backup::copyBackupSet(data, backupDir, QDateTime::currentDateTime()); },
                        RUSAGE_SELF, backupRuns.cpu));
                } else {
                    copyRuns.runs.push_back(seconds([&] {
                        if (std::system(copyCommand.c_str()) != 0)
                            std::exit(2);
                    },
                                                    RUSAGE_CHILDREN, copyRuns.cpu));
                }
            }
        }
        const char* mode = cold ? "cold" : "warm";
        std::printf("%-6s %-28s %8.3f %8.3f %8.3f %8.3f\n", mode, "Záloha na disk", backupRuns.min(),
                    backupRuns.median(), backupRuns.max(), backupRuns.cpuMedian());
        std::printf("%-6s %-28s %8.3f %8.3f %8.3f %8.3f\n", mode, "cp -r + sync (reference)", copyRuns.min(),
                    copyRuns.median(), copyRuns.max(), copyRuns.cpuMedian());
        std::printf("%-6s ratio of the medians: %.2f\n", mode, backupRuns.median() / copyRuns.median());
    }
    std::printf("load after: %s\n", loadAverage().c_str());
    fs::remove_all(reference);
    return 0;
}
