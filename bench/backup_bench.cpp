// Backing up and checking a working directory whose address book holds the
// 1,000,000 addresses that store_bench generates into $PELMIR_BENCH_CACHE
// (default ./store-bench-cache); run store_bench first. The seeds come from
// $PELMIR_SOURCE_DIR/data (default ./data).
//   backup_bench

#include "BenchSupport.h"

#include "backup/BackupSet.h"
#include "backup/Restore.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"

#include <QDir>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

using bench::cacheDir;

// A working directory with the million-address table, held open as the program holds it.
struct Work {
    fs::path dir;
    std::unique_ptr<store::Database> database;
    std::unique_ptr<store::Cursor> addresses;
    QString data() const { return QString::fromStdString((dir / "Data").string()); }
    QString backup() const { return QString::fromStdString((dir / "Zaloha").string()); }
};

Work& work()
{
    static Work w;
    if (w.addresses)
        return w;
    const fs::path source = cacheDir() / "table" / "Dat.DB";
    if (!fs::exists(source)) {
        std::fprintf(stderr, "no %s: run store_bench first\n", source.c_str());
        std::exit(1);
    }
    const char* sources = std::getenv("PELMIR_SOURCE_DIR");
    w.dir = cacheDir() / "backup-work";
    fs::remove_all(w.dir);
    tools::makeDataDir(fs::path(sources ? sources : ".") / "data", w.dir);
    fs::copy_file(source, w.dir / "Data" / "Dat.DB", fs::copy_options::overwrite_existing);
    w.database = std::make_unique<store::Database>(w.dir / "Data");
    w.addresses = std::make_unique<store::Cursor>(*w.database, "Dat.DB");
    w.addresses->open();
    return w;
}

double megabytes(const QString& dir)
{
    double bytes = 0;
    for (const backup::BackupFile& file : backup::backupFiles())
        bytes += static_cast<double>(fs::file_size(fs::path(dir.toStdString()) / file.file.toStdString()));
    return bytes / (1024.0 * 1024.0);
}

// "Záloha na disk": every table copied in 2048-byte blocks under its snapshot, flushed to the disk.
void Backup_ToDisk(benchmark::State& state)
{
    Work& w = work();
    for (auto _ : state)
        backup::copyBackupSet(w.data(), w.backup(), QDateTime::currentDateTime());
    state.counters["MB"] = megabytes(w.data());
    state.counters["records"] = w.addresses->recordCount();
}

// The restore program's check: the backup copied aside, every table opened and counted.
void Restore_CheckBackup(benchmark::State& state)
{
    Work& w = work();
    backup::copyBackupSet(w.data(), w.backup(), QDateTime::currentDateTime());
    const QString staging = QString::fromStdString((w.dir / "staging").string());
    for (auto _ : state) {
        QDir(staging).removeRecursively();
        QDir().mkpath(staging);
        benchmark::DoNotOptimize(backup::stageBackup(w.backup(), staging));
    }
}

} // namespace

BENCHMARK(Backup_ToDisk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Restore_CheckBackup)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
