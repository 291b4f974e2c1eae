#pragma once

// When the samples of each chunk the sound server asks for will be heard.
// The server's latency figure jitters from one request to the next (now and
// then by several milliseconds, while its smoothing catches up); the chunks,
// though, follow each other without gaps. So a chunk starts where the
// previous one ended, the count is only nudged towards the figure (the sound
// card's clock drifts against the system's), and it starts afresh only where
// the stream really jumped: an underrun, or a figure far off.

#include "sound/ToneEvents.h"

#include <array>
#include <optional>

namespace sound {

class PlaybackTiming {
public:
    // A measurement further than this from the chunks' own count restarts it.
    static constexpr Nanoseconds kJump = 15 * kMillisecond;
    // A nearer one moves the count by this fraction of the difference.
    static constexpr Nanoseconds kNudge = 128;
    // How many recent chunks the required delay looks back over.
    static constexpr std::size_t kWindow = 64;
    // A request this long after the previous one is a stall (the stream
    // starting, the server catching up), not the stream's rhythm: no delay
    // would have caught it, and planning for it would hold every later tone back.
    static constexpr Nanoseconds kStall = 250 * kMillisecond;

    explicit PlaybackTiming(int sampleRate) : m_sampleRate(sampleRate) {}

    // A chunk of `frames` samples is asked for at `now`; the server says its
    // first sample is heard `latency` from now. Returns when it is heard.
    // `rebase` after an underrun: the stream paused, the count no longer holds.
    Nanoseconds startChunk(Nanoseconds now, Nanoseconds latency, std::int64_t frames,
                           bool rebase = false);

    // How long after being asked for an event must be placed so that the
    // chunks recently asked for would all have taken it in time: an event
    // asked for just after one request waits for the next, which is heard at
    // its start. Stalls are left out, and so is the one slowest request.
    Nanoseconds requiredDelay() const;

    // A new stream: nothing of the old one's timing holds.
    void reset();

private:
    Nanoseconds counted() const;

    int m_sampleRate;
    std::optional<Nanoseconds> m_base; // when the first sample counted from is heard
    std::int64_t m_framesSinceBase = 0;
    std::optional<Nanoseconds> m_lastRequest;
    std::array<Nanoseconds, kWindow> m_needed{};
    std::size_t m_neededCount = 0;
    std::size_t m_neededNext = 0;
};

} // namespace sound
