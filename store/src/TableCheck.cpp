#include "store/TableCheck.h"

#include "SavesRunning.h"
#include "StoreTexts.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <string_view>

namespace store {

std::atomic<int>& savesRunning()
{
    static std::atomic<int> running{0};
    return running;
}

namespace {

// How the engine's check ended.
enum class Outcome { Sound, Damaged, Unchecked, GaveWay };

struct Watch {
    const std::atomic<bool>* stop;
    bool gaveWay = false;
};

// Called by the engine every few hundred steps of the check: nonzero ends it.
int shouldEnd(void* data)
{
    auto* watch = static_cast<Watch*>(data);
    if (watch->stop && watch->stop->load())
        return 1;
    if (savesRunning().load() > 0) {
        watch->gaveWay = true;
        return 1;
    }
    return 0;
}

Outcome checkOnce(const std::filesystem::path& file, const std::atomic<bool>* stop, std::string& problem)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return Outcome::Unchecked; // not there or not readable: opening the table says why
    }
    Watch watch{stop};
    sqlite3_progress_handler(db, 500, shouldEnd, &watch);
    // A save of this process waits for the check's read lock at its commit
    // only until the check gives way; another program's save as usual.
    sqlite3_busy_timeout(db, 2000);
    Outcome outcome = Outcome::Unchecked;
    sqlite3_stmt* check = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(check);
        if (rc == SQLITE_ROW) {
            const auto* first = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
            if (first && std::string_view(first) != "ok") {
                // The engine heads its findings with the database's name; the page is what counts.
                problem = first;
                const std::string_view heading = "*** in database main ***\n";
                if (problem.starts_with(heading))
                    problem.erase(0, heading.size());
                outcome = Outcome::Damaged;
            } else {
                outcome = Outcome::Sound;
            }
        }
    }
    const int code = rc & 0xFF;
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
        problem = sqlite3_errmsg(db);
        outcome = Outcome::Damaged;
    } else if (code == SQLITE_INTERRUPT && watch.gaveWay) {
        outcome = Outcome::GaveWay;
    }
    sqlite3_finalize(check);
    sqlite3_close_v2(db);
    return outcome;
}

bool stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load();
}

} // namespace

std::string checkTableFile(const std::filesystem::path& file, const std::atomic<bool>* stop)
{
    using namespace std::chrono_literals;
    // A user saving again and again makes the check start again; it gives up
    // rather than run for ever behind the saves.
    constexpr int kAttempts = 50;
    std::string problem;
    for (int attempt = 0; attempt < kAttempts && !stopped(stop); ++attempt) {
        switch (checkOnce(file, stop, problem)) {
        case Outcome::Sound:
        case Outcome::Unchecked:
            return {};
        case Outcome::Damaged:
            return failureText(StoreError::Kind::Damaged, Operation::Check, file.filename().string(), {}, problem);
        case Outcome::GaveWay:
            // Start again after the save, with a pause for the one that often follows.
            while (savesRunning().load() > 0 && !stopped(stop))
                std::this_thread::sleep_for(10ms);
            std::this_thread::sleep_for(200ms);
            break;
        }
    }
    return {};
}

BackgroundTableCheck::BackgroundTableCheck(std::vector<std::filesystem::path> files, Damaged damaged,
                                           std::function<void()> done)
{
    m_thread = std::thread([this, files = std::move(files), damaged = std::move(damaged), done = std::move(done)] {
        // The check gives way to every other thread of the machine, the
        // window thread above all: the user waits for nothing it does.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
        // Nothing may escape the thread: it would end the program.
        try {
            for (const std::filesystem::path& file : files) {
                if (m_stop.load())
                    return;
                const std::string text = checkTableFile(file, &m_stop);
                if (!text.empty() && damaged)
                    damaged(file.filename().string(), text);
            }
            if (done && !m_stop.load())
                done();
        } catch (...) {
        }
    });
}

BackgroundTableCheck::~BackgroundTableCheck()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundTableCheck::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace store
