#pragma once

#include "store/Cursor.h"

namespace store {

// A walk through a cursor under a mark with the display suspended, as the
// searches and printed lists make. finish() either keeps the position the
// walk reached or returns to the mark, then frees the mark and resumes the
// display; the destructor returns to the mark the same way (without
// throwing) when the walk failed midway, so the display is never left
// suspended and the cursor never left somewhere unexpected.
class MarkedWalk {
public:
    explicit MarkedWalk(Cursor& cursor);
    ~MarkedWalk();
    MarkedWalk(const MarkedWalk&) = delete;
    MarkedWalk& operator=(const MarkedWalk&) = delete;

    void finish(bool keepPosition);

private:
    Cursor& m_cursor;
    Bookmark m_mark;
    bool m_finished = false;
};

} // namespace store
