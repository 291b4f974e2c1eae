#include "store/MarkedWalk.h"

namespace store {

MarkedWalk::MarkedWalk(Cursor& cursor) : m_cursor(cursor), m_mark(cursor.getBookmark())
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

void MarkedWalk::finish(bool keepPosition)
{
    m_finished = true;
    struct Resume {
        Cursor& cursor;
        const Bookmark& mark;
        ~Resume()
        {
            try {
                cursor.freeBookmark(mark);
            } catch (...) {
            }
            cursor.enableControls();
        }
    } resume{m_cursor, m_mark};
    if (!keepPosition)
        m_cursor.gotoBookmark(m_mark);
}

} // namespace store
