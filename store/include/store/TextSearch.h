#pragma once

#include "store/DataSet.h"

#include <string>
#include <string_view>

namespace store {

class MarkedWalk;

// The text search's matching rule: the search text occurs anywhere in the
// field, both upper-cased by the Czech rules. An empty search text matches
// nothing, so an empty field is never "found" by an empty search.
bool textMatches(std::string_view fieldText, std::string_view searchText);

// Walks a cursor record by record looking for the search text in one field.
// The caller holds the walk under a MarkedWalk, which restores the
// position when nothing was found; given that walk, the search steps it once
// per record and stops, finding nothing, when the walk is cancelled.
class TextSearch {
public:
    TextSearch(DataSet& data, std::string field, std::string searchText, MarkedWalk* walk = nullptr);

    // From the first record on. True when a record matches; it is then current.
    bool fromStart();
    // From the record after the current one. The current record itself is not
    // tested again, so a match on the last record reports "no further one".
    bool onward();

private:
    bool walk();

    DataSet& m_data;
    MarkedWalk* m_walk;
    std::string m_field;
    std::string m_upperSearch;
};

} // namespace store
