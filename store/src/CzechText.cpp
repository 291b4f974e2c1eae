#include "store/CzechText.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uversion.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace store {

namespace {

const icu::Locale& czechLocale()
{
    static const icu::Locale locale("cs");
    return locale;
}

std::unique_ptr<icu::Collator> makeCollator(icu::Collator::ECollationStrength strength)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(czechLocale(), status));
    if (U_FAILURE(status) || !collator)
        throw std::runtime_error(std::string("ICU Czech collator unavailable: ") + u_errorName(status));
    collator->setStrength(strength);
    // Canonically equivalent spellings (precomposed "č" against "c" + caron) must
    // compare equal, or the same surname typed two ways would be two keys.
    collator->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
    return collator;
}

// The store runs on one thread, so one collator of each strength is kept for
// the whole process; creating one costs far more than a comparison.
icu::Collator& tertiaryCollator()
{
    static const std::unique_ptr<icu::Collator> collator = makeCollator(icu::Collator::TERTIARY);
    return *collator;
}

icu::Collator& secondaryCollator()
{
    static const std::unique_ptr<icu::Collator> collator = makeCollator(icu::Collator::SECONDARY);
    return *collator;
}

icu::UnicodeString fromUtf8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string toUtf8(const icu::UnicodeString& text)
{
    std::string out;
    text.toUTF8String(out);
    return out;
}

int compareWith(icu::Collator& collator, std::string_view a, std::string_view b)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = collator.compareUTF8(
        icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
        icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    if (U_FAILURE(status)) {
        // Only malformed input gets here; fall back to byte order so sorting stays total.
        return a < b ? -1 : (b < a ? 1 : 0);
    }
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

std::u32string toCodePoints(std::string_view text)
{
    const icu::UnicodeString s = fromUtf8(text);
    std::u32string out(static_cast<std::size_t>(s.countChar32()), U'\0');
    UErrorCode status = U_ZERO_ERROR;
    s.toUTF32(reinterpret_cast<UChar32*>(out.data()), static_cast<int32_t>(out.size()), status);
    return out;
}

} // namespace

bool likeMatches(std::string_view text, std::string_view pattern)
{
    const std::u32string t = toCodePoints(text);
    const std::u32string p = toCodePoints(pattern);
    // Greedy matching that returns to the last "%" on a mismatch: linear in
    // practice, never exponential.
    std::size_t ti = 0, pi = 0;
    std::size_t starPattern = std::u32string::npos, starText = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == U'_' || (p[pi] != U'%' && p[pi] == t[ti]))) {
            ++ti;
            ++pi;
        } else if (pi < p.size() && p[pi] == U'%') {
            starPattern = pi++;
            starText = ti;
        } else if (starPattern != std::u32string::npos) {
            pi = starPattern + 1;
            ti = ++starText;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'%')
        ++pi;
    return pi == p.size();
}

std::string czechUpper(std::string_view text)
{
    icu::UnicodeString s = fromUtf8(text);
    s.toUpper(czechLocale());
    return toUtf8(s);
}

std::string czechLower(std::string_view text)
{
    icu::UnicodeString s = fromUtf8(text);
    s.toLower(czechLocale());
    return toUtf8(s);
}

int compareCzech(std::string_view a, std::string_view b)
{
    return compareWith(tertiaryCollator(), a, b);
}

int compareCzechIgnoreCase(std::string_view a, std::string_view b)
{
    return compareWith(secondaryCollator(), a, b);
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    // Names are looked up on every field read, so plain ASCII names (both
    // sides) are compared without ICU; only ASCII folds to ASCII there.
    const auto isAscii = [](std::string_view s) {
        for (char c : s)
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
        return true;
    };
    if (isAscii(a) && isAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
            if (lower(a[i]) != lower(b[i]))
                return false;
        }
        return true;
    }
    // Full case folding: "Místo" and "MÍSTO" fold to the same text, but "Mist"
    // stays different from "Míst" (names differing by an accent are different names).
    icu::UnicodeString fa = fromUtf8(a);
    icu::UnicodeString fb = fromUtf8(b);
    fa.foldCase(U_FOLD_CASE_DEFAULT);
    fb.foldCase(U_FOLD_CASE_DEFAULT);
    return fa == fb;
}

namespace {

// The code point starting at byte `at`, and its length in bytes; a broken
// sequence reads as one byte that is no blank.
std::pair<UChar32, std::size_t> codePointAt(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return {-1, 1};
    if (length == 1)
        return {lead, 1};
    UChar32 c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return {-1, 1};
        c = (c << 6) | (next & 0x3F);
    }
    return {c, length};
}

} // namespace

std::string trimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = begin;
    // One pass: `end` is just after the last character that is no blank.
    for (std::size_t at = 0; at < text.size();) {
        const auto [c, length] = codePointAt(text, at);
        const bool blank = c >= 0 && u_isUWhiteSpace(c);
        if (!blank) {
            if (end == 0)
                begin = at;
            end = at + length;
        }
        at += length;
    }
    return end == 0 ? std::string() : std::string(text.substr(begin, end - begin));
}

int characterCount(std::string_view text)
{
    // Every byte that does not continue a sequence starts a character.
    int count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

std::string collatorVersion()
{
    UVersionInfo version;
    tertiaryCollator().getVersion(version);
    char text[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(version, text);
    return text;
}

} // namespace store
