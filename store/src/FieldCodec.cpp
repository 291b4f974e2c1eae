#include "FieldCodec.h"

#include "store/DateText.h"
#include "store/Errors.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <charconv>
#include <cstdio>
#include <memory>

namespace store {

namespace {

icu::Collator& collator()
{
    // Same settings as the Czech comparison rules: locale "cs", tertiary,
    // canonical equivalence on (precomposed and decomposed "č" are one key).
    static const std::unique_ptr<icu::Collator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(icu::Locale("cs"), status));
        if (U_FAILURE(status) || !c)
            throw StoreError(StoreError::Kind::Io, std::string("ICU Czech collator unavailable: ") + u_errorName(status));
        c->setStrength(icu::Collator::TERTIARY);
        c->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
        return c;
    }();
    return *instance;
}

std::string twoDigits(int n)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

std::optional<DateTime> dateFromIso(const std::string& iso)
{
    DateTime d;
    if (std::sscanf(iso.c_str(), "%d-%d-%d", &d.year, &d.month, &d.day) != 3)
        return std::nullopt;
    return d;
}

std::optional<DateTime> timeFromStored(const std::string& text)
{
    DateTime t;
    if (std::sscanf(text.c_str(), "%d:%d:%d", &t.hour, &t.minute, &t.second) != 3)
        return std::nullopt;
    return t;
}

[[noreturn]] void badValue(const FieldDef& field, std::string_view text, const char* what)
{
    throw StoreError(StoreError::Kind::BadValue,
                     "Do pole " + field.name + " nelze zapsat „" + std::string(text) + "“: " + what + ".");
}

} // namespace

bool fieldAcceptsText(const FieldDef& field, std::string_view text)
{
    try {
        storedFromText(field, text);
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

std::optional<std::string> storedFromText(const FieldDef& field, std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    switch (field.kind) {
    case FieldKind::Date: {
        const auto date = parseDate(std::string(text));
        if (!date)
            badValue(field, text, "není to datum ve tvaru d.m.rrrr");
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date->year, date->month, date->day);
        return std::string(buffer);
    }
    case FieldKind::Time: {
        const auto time = parseTime(std::string(text));
        if (!time)
            badValue(field, text, "není to čas ve tvaru h:mm nebo h:mm:ss");
        return twoDigits(time->hour) + ":" + twoDigits(time->minute) + ":" + twoDigits(time->second);
    }
    case FieldKind::Integer: {
        std::string_view digits = text;
        while (!digits.empty() && digits.front() == ' ')
            digits.remove_prefix(1);
        while (!digits.empty() && digits.back() == ' ')
            digits.remove_suffix(1);
        if (!digits.empty() && digits.front() == '+')
            digits.remove_prefix(1);
        long long value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
            badValue(field, text, "není to celé číslo");
        return std::to_string(value);
    }
    case FieldKind::Text:
    case FieldKind::Memo:
    case FieldKind::FormattedMemo:
        break;
    }
    return std::string(text);
}

std::string textFromStored(FieldKind kind, const std::optional<std::string>& stored)
{
    if (!stored)
        return {};
    if (kind == FieldKind::Date) {
        if (const auto date = dateFromIso(*stored))
            return formatDate(*date);
    } else if (kind == FieldKind::Time) {
        if (const auto time = timeFromStored(*stored))
            return formatTime(*time);
    }
    return *stored;
}

std::string sortKey(FieldKind kind, const std::optional<std::string>& stored)
{
    if (!stored)
        return {};
    switch (kind) {
    case FieldKind::Integer: {
        long long value = 0;
        std::from_chars(stored->data(), stored->data() + stored->size(), value);
        // Big-endian with the sign bit flipped: byte order is numeric order.
        const auto bits = static_cast<unsigned long long>(value) ^ (1ULL << 63);
        std::string key(8, '\0');
        for (int i = 0; i < 8; ++i)
            key[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
        return key;
    }
    case FieldKind::Date:
    case FieldKind::Time:
        return *stored; // zero-padded ISO text sorts as the value
    case FieldKind::Text:
    case FieldKind::Memo:
    case FieldKind::FormattedMemo:
        break;
    }
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(stored->data(), static_cast<int32_t>(stored->size())));
    uint8_t small[256];
    int32_t length = collator().getSortKey(text, small, sizeof small);
    if (length <= static_cast<int32_t>(sizeof small))
        return std::string(reinterpret_cast<const char*>(small), static_cast<std::size_t>(length) - 1);
    std::string key(static_cast<std::size_t>(length), '\0');
    collator().getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), length);
    key.pop_back(); // the terminating zero byte: the empty key must stay smallest
    return key;
}

int compareSecondary(std::string_view key, std::string_view searchKey)
{
    // ICU sort keys are primary weights, 0x01, secondary weights, 0x01,
    // tertiary weights; weights never contain 0x00 or 0x01.
    const auto cut = [](std::string_view k) {
        const std::size_t first = k.find('\x01');
        if (first == std::string_view::npos)
            return k;
        const std::size_t second = k.find('\x01', first + 1);
        return second == std::string_view::npos ? k : k.substr(0, second);
    };
    const int c = cut(key).compare(cut(searchKey));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string sortKeyCollatorVersion()
{
    UVersionInfo version;
    collator().getVersion(version);
    char text[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(version, text);
    return text;
}

// Positions are base-256 fractions 0.b1b2b3... that never end in a zero byte,
// so between any two there is always a third.
namespace {

int digitAt(std::string_view key, std::size_t i)
{
    return i < key.size() ? static_cast<unsigned char>(key[i]) : 0;
}

// Some position greater than `rest` and below 1.0.
std::string positionBelowOne(std::string_view rest)
{
    std::string result;
    std::size_t i = 0;
    while (digitAt(rest, i) == 255) {
        result.push_back('\xFF');
        ++i;
    }
    result.push_back(static_cast<char>((digitAt(rest, i) + 256) / 2));
    return result;
}

} // namespace

std::string positionBetween(std::string_view before, std::string_view after)
{
    if (after.empty())
        return positionAfter(before);
    std::size_t n = 0;
    while (n < after.size() && digitAt(before, n) == digitAt(after, n))
        ++n;
    if (n >= after.size())
        throw StoreError(StoreError::Kind::Io, "record order is damaged");
    std::string result(after.substr(0, n));
    const int a = digitAt(before, n);
    const int b = digitAt(after, n);
    if (b - a > 1) {
        result.push_back(static_cast<char>((a + b) / 2));
        return result;
    }
    if (n + 1 < after.size()) {
        // after's digit alone: above before (greater digit), below after (shorter).
        result.push_back(static_cast<char>(b));
        return result;
    }
    result.push_back(static_cast<char>(a));
    return result + positionBelowOne(n + 1 < before.size() ? before.substr(n + 1) : std::string_view());
}

std::string positionAfter(std::string_view before)
{
    // Appends count up in the first four bytes, so a million appends stay four bytes long.
    unsigned long long counter = 0;
    for (std::size_t i = 0; i < 4; ++i)
        counter = counter << 8 | static_cast<unsigned>(digitAt(before, i));
    if (counter == 0xFFFFFFFFULL)
        return std::string(before) + "\x80";
    ++counter;
    std::string key(4, '\0');
    for (std::size_t i = 0; i < 4; ++i)
        key[i] = static_cast<char>((counter >> (24 - 8 * i)) & 0xFF);
    while (key.back() == '\0')
        key.pop_back();
    return key;
}

} // namespace store
