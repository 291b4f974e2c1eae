#include "sound/ToneEvents.h"

#include <algorithm>
#include <chrono>

namespace sound {

Nanoseconds steadyNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ToneEventQueue::post(const ToneEvent& event)
{
    const std::lock_guard lock(m_mutex);
    if (m_events.size() >= kLimit) {
        // Nothing has taken the events for a long while, so none of them was
        // heard and none will be: only the speaker's latest state still counts.
        const auto last = std::find_if(m_events.rbegin(), m_events.rend(),
                                       [](const ToneEvent& e) { return e.changesTone(); });
        const bool keep = last != m_events.rend();
        const ToneEvent state = keep ? *last : ToneEvent{};
        m_events.clear();
        if (keep)
            m_events.push_back(state);
    }
    m_events.push_back(event);
}

void ToneEventQueue::takeInto(std::vector<ToneEvent>& out)
{
    const std::lock_guard lock(m_mutex);
    out.insert(out.end(), m_events.begin(), m_events.end());
    m_events.clear();
}

std::size_t ToneEventQueue::size() const
{
    const std::lock_guard lock(m_mutex);
    return m_events.size();
}

} // namespace sound
