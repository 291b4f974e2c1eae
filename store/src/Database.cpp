#include "store/Database.h"

#include "Table.h"

#include "store/CzechText.h"
#include "store/Errors.h"

#include "StoreTexts.h"

#include <algorithm>
#include <cstdio>

#include <ctime>

namespace store {

namespace fs = std::filesystem;

Database::Database(fs::path dataDir) : m_dataDir(std::move(dataDir)) {}

Database::~Database() = default;

void Database::registerPassword(const std::string& password)
{
    m_passwords.insert(password);
}

bool Database::hasPassword(const std::string& password) const
{
    return m_passwords.count(password) != 0;
}

DateTime Database::now() const
{
    if (m_clock)
        return m_clock();
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

namespace {

// The file of a table in the data directory, its name matched without regard
// to case ("DAT.DB" finds "Dat.DB"); empty when there is none.
fs::path findTableFile(const fs::path& dataDir, const std::string& tableName)
{
    std::error_code error;
    const fs::path exact = dataDir / tableName;
    if (fs::is_regular_file(exact, error))
        return exact;
    for (fs::directory_iterator it(dataDir, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && sameName(it->path().filename().string(), tableName))
            return it->path();
    }
    return {};
}

} // namespace

std::shared_ptr<Table> Database::table(const std::string& tableName)
{
    std::erase_if(m_tables, [](const std::weak_ptr<Table>& t) { return t.expired(); });
    for (const auto& weak : m_tables) {
        if (auto shared = weak.lock(); shared && sameName(shared->fileName(), tableName))
            return shared;
    }
    const fs::path file = findTableFile(m_dataDir, tableName);
    if (file.empty()) {
        std::error_code error;
        if (!fs::is_directory(m_dataDir, error))
            failTable(StoreError::Kind::NotFound, Operation::Open, tableName,
                      "složka s daty " + m_dataDir.string() + " neexistuje");
        failTable(StoreError::Kind::NotFound, Operation::Open, tableName);
    }
    const TableDef* expected = nullptr;
    for (const TableDef& def : m_catalogue) {
        if (sameName(def.fileName, file.filename().string()))
            expected = &def;
    }
    auto opened = std::make_shared<Table>(file, m_passwords, expected, m_busyTimeoutMs, m_backgroundOrderPages);
    m_tables.push_back(opened);
    if (!opened->notice().empty()) {
        if (m_notice)
            m_notice(opened->notice());
        else
            std::fprintf(stderr, "%s\n", opened->notice().c_str());
    }
    return opened;
}

void Database::emptyTable(const std::string& tableName)
{
    const std::shared_ptr<Table> opened = table(tableName);
    if (opened->hasCursors())
        failTable(StoreError::Kind::Io, Operation::Empty, opened->fileName(),
                  "tabulka je otevřená v jiném okně; program ji musí nejdřív zavřít");
    opened->removeAll();
}

std::vector<fs::path> Database::openTableFiles()
{
    std::vector<fs::path> files;
    for (const auto& weak : m_tables) {
        if (const auto shared = weak.lock())
            files.push_back(shared->file());
    }
    return files;
}

std::vector<fs::path> Database::tableFilesToCheck()
{
    std::vector<fs::path> files;
    for (const TableDef& def : m_catalogue) {
        if (fs::path file = findTableFile(m_dataDir, def.fileName); !file.empty())
            files.push_back(std::move(file));
    }
    for (fs::path& open : openTableFiles()) {
        if (std::find(files.begin(), files.end(), open) == files.end())
            files.push_back(std::move(open));
    }
    return files;
}

void Database::createTable(const fs::path& dataDir, const TableDef& def, const std::string& password)
{
    if (!findTableFile(dataDir, def.fileName).empty())
        throw StoreError(StoreError::Kind::Io, "Table " + def.fileName + " already exists");
    Table::create(dataDir / def.fileName, def, password);
}

} // namespace store
