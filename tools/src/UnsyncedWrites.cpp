#include "tools/UnsyncedWrites.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace tools {

namespace {

sqlite3_vfs* g_realVfs = nullptr;
sqlite3_vfs g_unsyncedVfs;
std::map<const sqlite3_io_methods*, std::unique_ptr<sqlite3_io_methods>> g_unsyncedMethods;

int skipSync(sqlite3_file*, int)
{
    return SQLITE_OK;
}

// The real open, with the file's methods swapped for a copy whose sync does nothing.
int openUnsynced(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    const int rc = g_realVfs->xOpen(g_realVfs, name, file, flags, outFlags);
    if (rc == SQLITE_OK && file->pMethods != nullptr) {
        std::unique_ptr<sqlite3_io_methods>& methods = g_unsyncedMethods[file->pMethods];
        if (!methods) {
            methods = std::make_unique<sqlite3_io_methods>(*file->pMethods);
            methods->xSync = skipSync;
        }
        file->pMethods = methods.get();
    }
    return rc;
}

void syncPath(const fs::path& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        throw fs::filesystem_error("cannot open", path, std::error_code(errno, std::generic_category()));
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0)
        throw fs::filesystem_error("cannot sync", path, std::error_code(error, std::generic_category()));
}

} // namespace

UnsyncedWrites::UnsyncedWrites()
{
    sqlite3_initialize();
    if (g_realVfs == nullptr) {
        g_realVfs = sqlite3_vfs_find(nullptr);
        g_unsyncedVfs = *g_realVfs;
        g_unsyncedVfs.zName = "pelmir-unsynced";
        g_unsyncedVfs.xOpen = openUnsynced;
        g_unsyncedVfs.pNext = nullptr;
    }
    sqlite3_vfs_register(&g_unsyncedVfs, 1);
}

UnsyncedWrites::~UnsyncedWrites()
{
    // Files opened meanwhile keep their methods; new ones sync again.
    sqlite3_vfs_register(g_realVfs, 1);
    sqlite3_vfs_unregister(&g_unsyncedVfs);
}

void syncTree(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            syncPath(entry.path(), O_RDONLY);
        else if (entry.is_directory())
            syncFolder(entry.path());
    }
    syncFolder(folder);
}

void syncFolder(const fs::path& folder)
{
    syncPath(folder, O_RDONLY | O_DIRECTORY);
}

} // namespace tools
