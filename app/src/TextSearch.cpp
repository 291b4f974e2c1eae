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

} // namespace app
