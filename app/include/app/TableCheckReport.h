#pragma once

#include <QObject>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace store {
class BackgroundTableCheck;
}

namespace app {

// Checks the files of the open tables in the background once the program has
// started, and shows one error box naming every damaged one, so the user
// restores a backup before typing into a damaged table and before the next
// backup copies it. A check at the opening would add as much time to the
// start again (about a quarter of a second per million addresses).
class TableCheckReport : public QObject {
public:
    explicit TableCheckReport(std::vector<std::filesystem::path> files);
    ~TableCheckReport() override;

    // Waits for the check to end (tests); its box comes with the next events.
    void wait();

private:
    void showFound();

    std::mutex m_mutex;
    QStringList m_found; // the texts of damaged tables, filled on the checking thread
    std::unique_ptr<store::BackgroundTableCheck> m_check;
};

} // namespace app
