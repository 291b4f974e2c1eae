#pragma once

#include <exception>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace app {

// Opens tables on a thread of its own, each once and closed again, to learn
// at start-up whether the windows made later will be able to open them: a
// table that cannot be opened still stops start-up, while the first paint
// does not wait for the opening (on a second processor core it costs no time
// at all). The probe has its own connection to each file and shows nothing;
// the windows open the tables again when they are made.
class TableProbe {
public:
    TableProbe(std::filesystem::path dataDir, std::vector<std::string> tableNames);
    ~TableProbe();
    TableProbe(const TableProbe&) = delete;
    TableProbe& operator=(const TableProbe&) = delete;

    // Waits for the probe to end; throws the store's error of the first table
    // (in the order given) that could not be opened.
    void check();

private:
    std::thread m_thread;
    std::exception_ptr m_error;
};

} // namespace app
