#include "sound/PlaybackTiming.h"

#include <algorithm>
#include <cstdlib>

namespace sound {

Nanoseconds PlaybackTiming::startChunk(Nanoseconds now, Nanoseconds latency, std::int64_t frames)
{
    const Nanoseconds measured = now + latency;
    Nanoseconds start = measured;
    if (m_base) {
        // Whole seconds apart from the rest: a run of days must not overflow.
        const Nanoseconds counted = (m_framesSinceBase / m_sampleRate) * kSecond +
                                    (m_framesSinceBase % m_sampleRate) * kSecond / m_sampleRate;
        const Nanoseconds predicted = *m_base + counted;
        if (std::llabs(measured - predicted) <= kTolerance)
            start = predicted;
        else
            m_base.reset();
    }
    if (!m_base) {
        m_base = measured;
        m_framesSinceBase = 0;
    }
    m_framesSinceBase += frames;

    m_needed[m_neededNext] = start - m_lastRequest.value_or(now);
    m_neededNext = (m_neededNext + 1) % kWindow;
    m_neededCount = std::min(m_neededCount + 1, kWindow);
    m_lastRequest = now;
    return start;
}

Nanoseconds PlaybackTiming::requiredDelay() const
{
    Nanoseconds required = 0;
    for (std::size_t i = 0; i < m_neededCount; ++i) {
        if (m_needed[i] <= kStall)
            required = std::max(required, m_needed[i]);
    }
    return required;
}

void PlaybackTiming::reset()
{
    *this = PlaybackTiming(m_sampleRate);
}

} // namespace sound
