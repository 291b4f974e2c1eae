#include "store/DataSet.h"

#include "store/Errors.h"

#include <algorithm>
#include <charconv>

namespace store {

long long DataSet::integer(std::string_view field) const
{
    const std::string value = text(field);
    if (value.empty())
        return 0;
    long long result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error != std::errc() || end != value.data() + value.size())
        throw StoreError(StoreError::Kind::Io, "'" + value + "' is not a valid integer value");
    return result;
}

std::optional<DateTime> DataSet::dateTime(std::string_view field) const
{
    const std::string value = text(field);
    if (value.empty())
        return std::nullopt;
    const FieldKind kind = fields()[static_cast<std::size_t>(fieldIndex(field))].kind;
    std::optional<DateTime> result = kind == FieldKind::Time ? parseTime(value) : parseDate(value);
    if (!result)
        throw StoreError(StoreError::Kind::Io, "'" + value + "' is not a valid date or time");
    return result;
}

void DataSet::disableControls()
{
    ++m_disableCount;
}

void DataSet::enableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0)
        notifyDisplay(DisplayChange::Everything);
}

void DataSet::addObserver(DisplayObserver* observer)
{
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void DataSet::removeObserver(DisplayObserver* observer)
{
    std::erase(m_observers, observer);
}

void DataSet::notifyDisplay(DisplayChange change)
{
    if (m_disableCount > 0)
        return;
    // Copy: an observer may remove itself while being told.
    const auto observers = m_observers;
    for (DisplayObserver* observer : observers)
        observer->displayChanged(change);
}

} // namespace store
