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
#include <vector>

namespace fs = std::filesystem;

namespace {

double seconds(const std::function<void()>& work)
{
    const auto started = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
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
    std::printf("%-6s %-28s %8s %8s %8s\n", "", "", "min s", "median s", "max s");
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
                        [&] { backup::copyBackupSet(data, backupDir, QDateTime::currentDateTime()); }));
                } else {
                    copyRuns.runs.push_back(seconds([&] {
                        if (std::system(copyCommand.c_str()) != 0)
                            std::exit(2);
                    }));
                }
            }
        }
        const char* mode = cold ? "cold" : "warm";
        std::printf("%-6s %-28s %8.3f %8.3f %8.3f\n", mode, "Záloha na disk", backupRuns.min(), backupRuns.median(),
                    backupRuns.max());
        std::printf("%-6s %-28s %8.3f %8.3f %8.3f\n", mode, "cp -r + sync (reference)", copyRuns.min(),
                    copyRuns.median(), copyRuns.max());
        std::printf("%-6s ratio of the medians: %.2f\n", mode, backupRuns.median() / copyRuns.median());
    }
    std::printf("load after: %s\n", loadAverage().c_str());
    fs::remove_all(reference);
    return 0;
}
