#pragma once

#include "store/Cursor.h"

#include <cstdint>
#include <functional>

namespace store {

// Told how far a long walk has come: `done` records of `total`. Returns false
// when the walk is to stop (the user cancelled it).
using WalkProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// A walk through a cursor under a mark with the display suspended, as the
// searches and printed lists make. finish() either keeps the position the
// walk reached or returns to the mark, then frees the mark and resumes the
// display; the destructor returns to the mark the same way (without
// throwing) when the walk failed midway, so the display is never left
// suspended and the cursor never left somewhere unexpected.
//
// A walk that may last long takes a progress and calls step() once per
// record; step() passes the count on every few hundred records and says
// when the walk is to stop. A cancelled walk always ends on its mark.
class MarkedWalk {
public:
    explicit MarkedWalk(Cursor& cursor, WalkProgress progress = {});
    ~MarkedWalk();
    MarkedWalk(const MarkedWalk&) = delete;
    MarkedWalk& operator=(const MarkedWalk&) = delete;

    // One more record walked. False once the walk has been cancelled: the
    // caller stops walking and finishes.
    bool step();
    bool cancelled() const { return m_cancelled; }
    // The walking is over: the progress display closes now, before the
    // caller tells the user the outcome, not only at finish().
    void endProgress() { m_progress = nullptr; }

    void finish(bool keepPosition);

    // How many steps pass between two reports to the progress.
    static constexpr std::int64_t kReportEvery = 256;

private:
    Cursor& m_cursor;
    Bookmark m_mark;
    WalkProgress m_progress;
    std::int64_t m_steps = 0;
    std::int64_t m_total = -1; // counted at the first report
    bool m_cancelled = false;
    bool m_finished = false;
};

} // namespace store
