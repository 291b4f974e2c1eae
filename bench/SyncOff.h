#pragma once

// Generating benchmark tables without forcing every save to disk.

#include <sqlite3.h>

#include <map>
#include <memory>

namespace bench {

// Every save of the store is its own transaction with synchronous=FULL, so
// generating a large table would take hours of fsyncs. While a table is generated the
// default VFS is the ordinary one with its sync turned into a no-op; the file
// written is the same, only not forced to disk record by record.
inline int noSync(sqlite3_file*, int)
{
    return SQLITE_OK;
}

inline sqlite3_vfs* g_realVfs = nullptr;
inline sqlite3_vfs g_noSyncVfs;
inline std::map<const sqlite3_io_methods*, std::unique_ptr<sqlite3_io_methods>> g_patchedMethods;

inline int openWithoutSync(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    const int rc = g_realVfs->xOpen(g_realVfs, name, file, flags, outFlags);
    if (rc == SQLITE_OK && file->pMethods != nullptr) {
        auto& patched = g_patchedMethods[file->pMethods];
        if (!patched) {
            patched = std::make_unique<sqlite3_io_methods>(*file->pMethods);
            patched->xSync = noSync;
        }
        file->pMethods = patched.get();
    }
    return rc;
}

class SyncOff {
public:
    SyncOff()
    {
        g_realVfs = sqlite3_vfs_find(nullptr);
        g_noSyncVfs = *g_realVfs;
        g_noSyncVfs.zName = "pelmir-bench-nosync";
        g_noSyncVfs.xOpen = openWithoutSync;
        g_noSyncVfs.pNext = nullptr;
        sqlite3_vfs_register(&g_noSyncVfs, 1);
    }
    ~SyncOff()
    {
        sqlite3_vfs_register(g_realVfs, 1);
        sqlite3_vfs_unregister(&g_noSyncVfs);
    }
};

} // namespace bench
