#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace store {

// Reads every page of a table file and checks its structure (the engine's
// quick check) on a read-only connection of its own, so that damage the
// program has not met yet (a page of an index no save has touched) is found
// before the user types into the table or a backup copies it. Returns the
// user's text for a damaged file, naming the table and saying that a backup
// restores it; nothing when the file is sound or could not be checked (gone,
// held by another program, `stop` set). A save of this process running
// meanwhile interrupts the check, which starts again once the save is done:
// the check never makes a save wait long enough to fail.
std::string checkTableFile(const std::filesystem::path& file, const std::atomic<bool>* stop = nullptr);

// The same answer from a walk that reads every page of the file once: each
// tree's pages of the right kind, every cell inside its page, the overflow
// chains and the list of free pages as long as they say, every page used
// exactly once. It does not decode the records, so it costs a fraction of
// the engine's check; for a copy being made of a table held still. A file
// of a format the walk does not know gets the engine's check.
std::string checkTablePages(const std::filesystem::path& file);

// Checks table files one after another on a thread of its own. `damaged`
// gets the table's file name and the user's text for each damaged file and
// `done` the end of the check; both are called on the checking thread. The
// destructor stops the check and waits for the thread.
class BackgroundTableCheck {
public:
    using Damaged = std::function<void(const std::string& table, const std::string& text)>;
    BackgroundTableCheck(std::vector<std::filesystem::path> files, Damaged damaged, std::function<void()> done = {});
    ~BackgroundTableCheck();
    BackgroundTableCheck(const BackgroundTableCheck&) = delete;
    BackgroundTableCheck& operator=(const BackgroundTableCheck&) = delete;

    // Waits until every file has been checked.
    void wait();

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace store
