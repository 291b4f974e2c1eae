#include "tools/DataDir.h"

#include "tools/BodyShapes.h"

#include "tools/UnsyncedWrites.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/CzechText.h"
#include "store/Database.h"
#include "store/Errors.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace tools {

namespace {

constexpr const char* kSeedExtension = ".tsv";
constexpr const char* kBackupDirName = "Zaloha";
constexpr const char* kPicturesDirName = "Obrazky";

std::vector<std::string> splitTabs(std::string_view line)
{
    std::vector<std::string> columns;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        columns.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return columns;
        start = tab + 1;
    }
}

[[noreturn]] void failAt(const fs::path& file, int line, const std::string& what)
{
    throw DataDirError(file.filename().string() + ":" + std::to_string(line) + ": " + what);
}

// Fills one table from its seed file: a header line naming fields of the table,
// then one record per line, columns separated by tabs. Lines starting with '#'
// and empty lines are skipped, so a seed file can carry its source.
void fillTable(store::Database& database, const store::TableDef& def, const fs::path& seedFile)
{
    std::ifstream in(seedFile, std::ios::binary);
    if (!in)
        throw DataDirError(seedFile.filename().string() + ": cannot be read");

    store::Cursor cursor(database, def.fileName);
    cursor.open();

    std::vector<std::string> header;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;

        std::vector<std::string> columns = splitTabs(line);
        if (header.empty()) {
            for (const std::string& name : columns) {
                bool known = false;
                for (const store::FieldDef& field : def.fields)
                    known = known || store::sameName(field.name, name);
                if (!known)
                    failAt(seedFile, lineNumber,
                           "table " + def.fileName + " has no field \"" + name + "\"");
                for (const std::string& earlier : header) {
                    if (store::sameName(earlier, name))
                        failAt(seedFile, lineNumber, "field \"" + name + "\" named twice");
                }
                header.push_back(name);
            }
            continue;
        }

        if (columns.size() != header.size()) {
            failAt(seedFile, lineNumber,
                   "expected " + std::to_string(header.size()) + " tab-separated columns, found " +
                       std::to_string(columns.size()));
        }
        try {
            // Appended, so tables without a key keep the order of the file.
            cursor.append();
            for (std::size_t i = 0; i < header.size(); ++i) {
                if (!columns[i].empty())
                    cursor.setText(header[i], columns[i]);
            }
            cursor.post();
        } catch (const store::StoreError& error) {
            cursor.cancel();
            failAt(seedFile, lineNumber, error.what());
        }
    }
    if (header.empty())
        throw DataDirError(seedFile.filename().string() + ": no header line naming the fields");
    cursor.close();
}

void addWorkingFolders(const fs::path& seeds, const fs::path& workdir)
{
    fs::create_directories(workdir / kBackupDirName);
    fs::create_directories(workdir / kPicturesDirName);
    const fs::path from = seeds / kPicturesDirName;
    if (!fs::is_directory(from))
        return;
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        if (entry.is_regular_file())
            fs::copy_file(entry.path(), workdir / kPicturesDirName / entry.path().filename(),
                          fs::copy_options::skip_existing);
    }
}

void buildTables(const fs::path& seeds, const fs::path& dataDir)
{
    // Every seed file must name a table, so a misspelt file is not silently left out.
    std::vector<std::pair<const store::TableDef*, fs::path>> seedFiles;
    for (const fs::directory_entry& entry : fs::directory_iterator(seeds)) {
        if (!entry.is_regular_file() || entry.path().extension() != kSeedExtension)
            continue;
        const store::TableDef* def = store::findTableDef(entry.path().stem().string());
        if (def == nullptr)
            throw DataDirError(entry.path().filename().string() + ": no table of that name");
        seedFiles.emplace_back(def, entry.path());
    }

    fs::create_directory(dataDir);
    for (const store::TableDef& def : store::catalogue()) {
        store::Database::createTable(dataDir, def,
                                     def.isProtected ? store::dataTablesPassword() : std::string());
    }

    store::Database database(dataDir);
    database.registerPassword(store::dataTablesPassword());
    // Fill in catalogue order, so the order of the directory listing does not matter.
    for (const store::TableDef& def : store::catalogue()) {
        for (const auto& [seedDef, file] : seedFiles) {
            if (seedDef == &def)
                fillTable(database, def, file);
        }
    }
}

// Working directories built in this process, one per seed folder. Building
// commits every record on its own (seconds); tests that each want a fresh
// directory get a copy of the first one instead.
class BuiltDirectories {
public:
    ~BuiltDirectories()
    {
        std::error_code ignored;
        for (const auto& [seeds, dir] : m_dirs)
            fs::remove_all(dir, ignored);
    }

    const fs::path* find(const fs::path& seeds) const
    {
        auto it = m_dirs.find(seeds);
        return it == m_dirs.end() ? nullptr : &it->second;
    }

    // Keeps a copy of a freshly built working directory; failing to is no error.
    void keep(const fs::path& seeds, const fs::path& workdir)
    {
        std::string pattern = (fs::temp_directory_path() / "pelmir-datadir-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        std::error_code error;
        fs::copy(workdir / store::kDataDirName, fs::path(pattern) / store::kDataDirName,
                 fs::copy_options::recursive, error);
        if (error) {
            fs::remove_all(pattern, error);
            return;
        }
        m_dirs.emplace(seeds, pattern);
    }

private:
    std::map<fs::path, fs::path> m_dirs;
};

BuiltDirectories& builtDirectories()
{
    static BuiltDirectories dirs;
    return dirs;
}

std::mutex& builtDirectoriesMutex()
{
    static std::mutex mutex;
    return mutex;
}

// A new folder beside Data (same disk, so it can be renamed into place), with
// the permissions any new folder gets.
fs::path makePartialDataDir(const fs::path& workdir)
{
    std::random_device random;
    for (int attempt = 0;; ++attempt) {
        const fs::path partial =
            workdir / ("." + std::string(store::kDataDirName) + "-" + std::to_string(random()));
        if (fs::create_directory(partial))
            return partial;
        if (attempt == 100)
            throw DataDirError("cannot create a new folder in " + workdir.string());
    }
}

// Data is built under a temporary name and renamed at the end, so a working
// directory that has Data has all of it: a run killed half way (a first start
// of the program taking long, a full disk) leaves only the temporary folder,
// and the next attempt builds again instead of opening half the tables.
void buildDataDir(const fs::path& seeds, const fs::path& workdir, bool keepCopy)
{
    if (!fs::is_directory(seeds))
        throw DataDirError("seed folder " + seeds.string() + " does not exist");
    const fs::path dataDir = workdir / store::kDataDirName;
    if (fs::exists(dataDir))
        throw DataDirError(dataDir.string() + " already exists; it is never overwritten");

    fs::create_directories(workdir);
    const fs::path seedsKey = fs::canonical(seeds);
    std::lock_guard lock(builtDirectoriesMutex());
    const fs::path partial = makePartialDataDir(workdir);
    try {
        if (const fs::path* built = builtDirectories().find(seedsKey)) {
            fs::copy(*built / store::kDataDirName, partial, fs::copy_options::recursive);
        } else {
            const UnsyncedWrites unsynced;
            buildTables(seeds, partial);
        }
        addWorkingFolders(seeds, workdir);
        writeBodyShapePictures(workdir / kPicturesDirName);
        syncTree(partial);
        std::error_code renamed;
        fs::rename(partial, dataDir, renamed);
        if (renamed) {
            // Another process may have finished the same directory meanwhile.
            if (fs::exists(dataDir))
                throw DataDirError(dataDir.string() + " already exists; it is never overwritten");
            throw fs::filesystem_error("cannot rename", partial, dataDir, renamed);
        }
        syncFolder(workdir);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        throw;
    }
    if (keepCopy && builtDirectories().find(seedsKey) == nullptr)
        builtDirectories().keep(seedsKey, workdir);
}

} // namespace

void makeDataDir(const fs::path& seeds, const fs::path& workdir, KeepCopy keepCopy)
{
    buildDataDir(seeds, workdir, keepCopy == KeepCopy::Yes);
}

fs::path sourceSeedsDir()
{
    const char* source = std::getenv("PELMIR_SOURCE_DIR");
    if (source == nullptr || *source == '\0')
        throw DataDirError("PELMIR_SOURCE_DIR is not set");
    return fs::path(source) / "data";
}

} // namespace tools
