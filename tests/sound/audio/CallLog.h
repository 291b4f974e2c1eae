#pragma once

// Passes every call on to the real output and notes when it was made, so the
// recording can be held against what was really asked and when.

#include "platform/Platform.h"
#include "sound/ToneEvents.h"

#include <vector>

namespace soundtest {

class CallLog : public platform::ToneOutput {
public:
    struct Call {
        sound::ToneEvent::Kind kind;
        int hertz;
        sound::Nanoseconds at;
        sound::Nanoseconds took; // how long the call kept the caller
    };
    // A stretch between two calls: a tone (hertz > 0) or the silence between two tones.
    struct Stretch {
        int hertz;
        sound::Nanoseconds from;
        sound::Nanoseconds to;
        double ms() const { return static_cast<double>(to - from) / sound::kMillisecond; }
    };

    explicit CallLog(platform::ToneOutput& output) : m_output(output) {}

    void toneOn(int hertz) override;
    void toneOff() override;
    void beep() override;
    void questionSound() override;

    const std::vector<Call>& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }
    // The tones as they were asked for, with the silences between them from
    // 1 ms (a melody's ToneOff and next ToneOn are a few microseconds apart)
    // up to `longestPause` (longer ones separate the sequences).
    std::vector<Stretch> stretches(sound::Nanoseconds longestPause) const;

private:
    template <typename F> void note(sound::ToneEvent::Kind kind, int hertz, F call);

    platform::ToneOutput& m_output;
    std::vector<Call> m_calls;
};

} // namespace soundtest
