#include "store/MarkedWalk.h"

#include <algorithm>
#include <utility>

namespace store {

MarkedWalk::MarkedWalk(Cursor& cursor, WalkProgress progress)
    : m_cursor(cursor), m_mark(cursor.getBookmark()), m_progress(std::move(progress))
{
    m_cursor.disableControls();
}

MarkedWalk::~MarkedWalk()
{
    if (m_finished)
        return;
    try {
        m_cursor.gotoBookmark(m_mark);
    } catch (...) {
        // The walk's own error is the one reported; the position stays where it failed.
    }
    try {
        m_cursor.freeBookmark(m_mark);
    } catch (...) {
    }
    m_cursor.enableControls();
}

bool MarkedWalk::step()
{
    if (m_cancelled)
        return false;
    ++m_steps;
    if (!m_progress || m_steps % kReportEvery != 0)
        return true;
    if (m_total < 0)
        m_total = m_cursor.recordCount();
    // A table that grew during the walk must not show more than all of it done.
    m_cancelled = !m_progress(m_steps, std::max(m_total, m_steps));
    return !m_cancelled;
}

void MarkedWalk::finish(bool keepPosition)
{
    m_finished = true;
    struct Resume {
        Cursor& cursor;
        const Bookmark& mark;
        WalkProgress& progress;
        ~Resume()
        {
            try {
                cursor.freeBookmark(mark);
            } catch (...) {
            }
            cursor.enableControls();
            // The progress display closes with the walk, not with its owner.
            progress = nullptr;
        }
    } resume{m_cursor, m_mark, m_progress};
    if (!keepPosition || m_cancelled)
        m_cursor.gotoBookmark(m_mark);
}

} // namespace store
