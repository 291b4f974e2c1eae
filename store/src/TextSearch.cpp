#include "store/TextSearch.h"

#include "store/MarkedWalk.h"

#include "store/CzechText.h"

#include <utility>

namespace store {

bool textMatches(std::string_view fieldText, std::string_view searchText)
{
    if (searchText.empty())
        return false;
    return czechUpper(fieldText).find(czechUpper(searchText)) != std::string::npos;
}

TextSearch::TextSearch(DataSet& data, std::string field, std::string searchText, MarkedWalk* walk)
    : m_data(data), m_walk(walk), m_field(std::move(field)), m_upperSearch(czechUpper(searchText))
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
    // An empty search text matches nothing; the walk still goes to the end,
    // so both searches leave the cursor as a failed search does.
    // An empty table reports the end at once; the last record without a match
    // leaves the end flag set and the cursor on it.
    while (!m_data.eof()) {
        if (!m_upperSearch.empty() && czechUpper(m_data.text(m_field)).find(m_upperSearch) != std::string::npos)
            return true;
        if (m_walk && !m_walk->step())
            return false;
        m_data.next();
    }
    return false;
}

} // namespace store
