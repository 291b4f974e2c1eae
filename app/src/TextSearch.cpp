#include "app/TextSearch.h"

#include "store/CzechText.h"

#include <utility>

namespace app {

bool textMatches(std::string_view fieldText, std::string_view searchText)
{
    if (searchText.empty())
        return false;
    return store::czechUpper(fieldText).find(store::czechUpper(searchText)) != std::string::npos;
}

TextSearch::TextSearch(store::DataSet& data, std::string field, std::string searchText)
    : m_data(data), m_field(std::move(field)), m_searchText(std::move(searchText))
{
}

bool TextSearch::fromStart()
{
    m_data.first();
    return walk();
}

bool TextSearch::onward()
{
    m_data.next();
    return walk();
}

bool TextSearch::walk()
{
    // An empty table reports the end at once; the last record without a match
    // leaves the end flag set and the cursor on it.
    while (!m_data.eof()) {
        if (textMatches(m_data.text(m_field), m_searchText))
            return true;
        m_data.next();
    }
    return false;
}

SearchWalkGuard::SearchWalkGuard(store::Cursor& cursor)
    : m_cursor(cursor), m_mark(cursor.getBookmark())
{
    m_cursor.disableControls();
}

SearchWalkGuard::~SearchWalkGuard()
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

void SearchWalkGuard::finish(bool found)
{
    m_finished = true;
    struct Resume {
        store::Cursor& cursor;
        const store::Bookmark& mark;
        ~Resume()
        {
            try {
                cursor.freeBookmark(mark);
            } catch (...) {
            }
            cursor.enableControls();
        }
    } resume{m_cursor, m_mark};
    if (!found)
        m_cursor.gotoBookmark(m_mark);
}

} // namespace app
