#include "app/TableProbe.h"

#include "store/Catalogue.h"
#include "store/Database.h"

namespace app {

TableProbe::TableProbe(std::filesystem::path dataDir, std::vector<std::string> tableNames)
{
    m_thread = std::thread([this, dataDir = std::move(dataDir), tableNames = std::move(tableNames)] {
        try {
            // The program's own rules: a file under a table's name must be
            // that table, and the protected ones open with the password.
            store::Database database(dataDir);
            database.setCatalogue(store::catalogue());
            database.registerPassword(store::dataTablesPassword());
            // What the opening would tell the user is told when the window opens the table.
            database.setNoticeHandler([](const std::string&) {});
            for (const std::string& name : tableNames)
                database.table(name);
        } catch (...) {
            m_error = std::current_exception();
        }
    });
}

TableProbe::~TableProbe()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TableProbe::check()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_error)
        std::rethrow_exception(m_error);
}

} // namespace app
