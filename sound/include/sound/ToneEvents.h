#pragma once

// What the speaker and the alerts ask of the audio output, stamped with the
// moment they were asked, and the hand-over from the GUI thread to the audio
// thread.

#include <cstdint>
#include <mutex>
#include <vector>

namespace sound {

// Nanoseconds of the monotonic clock (std::chrono::steady_clock, which is
// also the clock the sound server's timing is read against).
using Nanoseconds = std::int64_t;
Nanoseconds steadyNow();

inline constexpr Nanoseconds kMillisecond = 1'000'000;
inline constexpr Nanoseconds kSecond = 1'000'000'000;

struct ToneEvent {
    enum class Kind { ToneOn, ToneOff, Beep, Question };
    Kind kind = Kind::ToneOff;
    int hertz = 0;      // of a ToneOn
    Nanoseconds at = 0; // when it was asked for

    bool changesTone() const { return kind == Kind::ToneOn || kind == Kind::ToneOff; }
    bool operator==(const ToneEvent&) const = default;
};

// The GUI thread posts, the audio thread takes everything posted so far. The
// lock is held only to append or to move the list, so posting never waits for
// the sound server.
class ToneEventQueue {
public:
    // Events nobody takes (no sound server) pile up only to this many.
    static constexpr std::size_t kLimit = 256;

    void post(const ToneEvent& event);
    // Appends every posted event to `out`, oldest first, and forgets them.
    void takeInto(std::vector<ToneEvent>& out);
    std::size_t size() const;

private:
    mutable std::mutex m_mutex;
    std::vector<ToneEvent> m_events;
};

} // namespace sound
