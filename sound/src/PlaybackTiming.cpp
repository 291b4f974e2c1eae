#include "sound/PlaybackTiming.h"

#include <algorithm>
#include <cstdlib>

namespace sound {

Nanoseconds PlaybackTiming::counted() const
{
    // Whole seconds apart from the rest: a run of weeks must not overflow.
    return *m_base + (m_framesSinceBase / m_sampleRate) * kSecond +
           (m_framesSinceBase % m_sampleRate) * kSecond / m_sampleRate;
}

Nanoseconds PlaybackTiming::startChunk(Nanoseconds now, Nanoseconds latency, std::int64_t frames,
                                       bool rebase)
{
    const Nanoseconds measured = now + latency;
    if (m_base && !rebase) {
        const Nanoseconds error = measured - counted();
        if (std::llabs(error) > kJump)
            m_base.reset();
        else
            *m_base += error / kNudge;
    }
    if (!m_base || rebase) {
        m_base = measured;
        m_framesSinceBase = 0;
    }
    const Nanoseconds start = counted();
    m_framesSinceBase += frames;

    m_needed[m_neededNext] = start - m_lastRequest.value_or(now);
    m_neededNext = (m_neededNext + 1) % kWindow;
    m_neededCount = std::min(m_neededCount + 1, kWindow);
    m_lastRequest = now;
    return start;
}

Nanoseconds PlaybackTiming::requiredDelay() const
{
    // The second longest: one request that came late (the machine busy for a
    // moment) costs the events it delayed a few milliseconds, where planning
    // for it would hold back every tone of the next second.
    Nanoseconds longest = 0;
    Nanoseconds second = 0;
    for (std::size_t i = 0; i < m_neededCount; ++i) {
        const Nanoseconds needed = m_needed[i];
        if (needed > kStall)
            continue;
        if (needed > longest) {
            second = longest;
            longest = needed;
        } else if (needed > second) {
            second = needed;
        }
    }
    return m_neededCount > 1 ? second : longest;
}

void PlaybackTiming::reset()
{
    *this = PlaybackTiming(m_sampleRate);
}

} // namespace sound
