#pragma once

#include <string>
#include <string_view>

namespace store {

// Czech text rules (ICU, locale "cs"), all on UTF-8.
std::string czechUpper(std::string_view text);
std::string czechLower(std::string_view text);
// Czech collation. Tertiary: the key order (case decides only last).
// Secondary: case ignored, used by the nearest key search.
int compareCzech(std::string_view a, std::string_view b);
int compareCzechIgnoreCase(std::string_view a, std::string_view b);
// SQL LIKE on whole characters: "%" stands for any run of characters, "_" for
// exactly one; everything else matches itself (case too: upper-case both first).
bool likeMatches(std::string_view text, std::string_view pattern);
// Names of tables and fields match without regard to case, Czech letters included.
bool sameName(std::string_view a, std::string_view b);
// The text without blanks at either end: every Unicode white space counts,
// the no-break spaces included.
std::string trimBlanks(std::string_view text);
// Number of characters (Unicode code points) of a UTF-8 text: what a field's
// width counts.
int characterCount(std::string_view text);

// The form of a word that goes with a count, as Czech counts: 1 řádek,
// 2 až 4 řádky, 0 and 5 or more řádků (22 řádků too: the whole number counts,
// not its last digit).
template <class Text>
const Text& czechPlural(long long count, const Text& one, const Text& few, const Text& many)
{
    if (count == 1 || count == -1)
        return one;
    if ((count >= 2 && count <= 4) || (count >= -4 && count <= -2))
        return few;
    return many;
}
// Version of the ICU collator; kept in each table file so a change rebuilds key order.
std::string collatorVersion();

} // namespace store
