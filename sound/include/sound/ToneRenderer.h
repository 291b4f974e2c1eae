#pragma once

// The samples the audio output plays, made one chunk at a time on the audio
// thread: silence, the speaker's square wave while a tone is on, and the alert
// sounds mixed in. Each event takes effect at the sample that is heard a fixed
// delay after the event was asked for, so a tone lasts exactly as long as its
// ToneOn and ToneOff were apart, whatever the size of the chunks.

#include "sound/ToneEvents.h"

#include <cstdint>
#include <deque>
#include <limits>
#include <span>
#include <vector>

namespace sound {

class ToneRenderer {
public:
    static constexpr int kSampleRate = 48000;
    // A square wave at full scale is harsh; a quarter is loud enough for a signal.
    static constexpr std::int16_t kAmplitude = 8000;
    // Kept above the delay the stream needs, so that a request a little later
    // than any of the recent ones still takes its events in time.
    static constexpr Nanoseconds kDelayMargin = 3 * kMillisecond;
    // The delay never grows past this, whatever the stream reports.
    static constexpr Nanoseconds kMaxDelay = 250 * kMillisecond;
    // A smaller delay waits until nothing was asked for this long: the
    // silence after the last event shrinks by the change, so the change must
    // fall between two actions, never into a melody's pause (70 ms at most).
    static constexpr Nanoseconds kSettle = 200 * kMillisecond;
    // An alert this late is noise rather than an answer to the action: dropped.
    static constexpr Nanoseconds kStaleAlert = 150 * kMillisecond;
    static constexpr std::size_t kMaxVoices = 4;
    // A ToneOff followed this soon by a ToneOn is one tone changing its pitch
    // (PlayTone after PlayTone in a melody), not a gap.
    static constexpr Nanoseconds kJoinTones = kMillisecond;

    explicit ToneRenderer(Nanoseconds delay = 30 * kMillisecond);

    // Events in the order they were asked for.
    void add(std::span<const ToneEvent> events);

    // The stream needs events to be placed at least `required` after they are
    // asked for. A larger delay takes effect at once; a smaller one only when
    // nothing has sounded or waited for a while, so that no tone or pause
    // changes its length. `firstSampleAt` is the coming chunk's.
    void adjustDelay(Nanoseconds required, Nanoseconds firstSampleAt);
    Nanoseconds delay() const { return m_delay; }

    // Fills `out`, whose first sample is heard at `firstSampleAt`.
    void render(std::span<std::int16_t> out, Nanoseconds firstSampleAt);

    // Silent, nothing waiting, no alert still sounding.
    bool idle() const;
    int hertz() const { return m_hertz; }
    // Events that arrived after their sample had already gone to the stream.
    std::int64_t lateEvents() const { return m_lateEvents; }

private:
    struct Voice {
        std::span<const std::int16_t> samples;
        std::size_t next = 0;
    };

    // Where the event falls, in samples from the chunk's first one (may be negative).
    std::int64_t samplesUntil(const ToneEvent& event, Nanoseconds firstSampleAt) const;
    void apply(const ToneEvent& event, Nanoseconds lateness);
    void synthesize(std::span<std::int16_t> out);

    std::deque<ToneEvent> m_pending;
    std::vector<Voice> m_voices;
    Nanoseconds m_delay;
    int m_hertz = 0;
    // The position within one period, in 1/kSampleRate periods: whole
    // numbers, so the frequency is exact and no drift builds up.
    int m_phase = 0;
    std::int64_t m_lateEvents = 0;
    // When the last event applied was asked for (long ago, before the first).
    Nanoseconds m_lastEventAt = std::numeric_limits<Nanoseconds>::min() / 2;
};

} // namespace sound
