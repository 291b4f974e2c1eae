#pragma once

// Reads tones back from samples: where each stretch of sound lies, and the
// frequency of the wave within it. Used on the renderer's own output and on
// what a sound server's monitor recorded.

#include <cstdint>
#include <span>
#include <vector>

namespace soundtest {

struct Segment {
    std::int64_t first = 0; // index of its first sample
    std::int64_t count = 0; // samples
    double hertz = 0;       // from its rising zero crossings; 0 if under two periods

    std::int64_t end() const { return first + count; }
    double ms(int sampleRate) const { return 1000.0 * static_cast<double>(count) / sampleRate; }
};

// Stretches of non-zero samples. Fewer than `minSilence` zeros in a row do
// not end a stretch (a sine may touch zero as it crosses it).
std::vector<Segment> findSegments(std::span<const std::int16_t> samples, int sampleRate,
                                  int minSilence = 8);

// Periods between the first and the last rising zero crossing of `samples`.
double measureFrequency(std::span<const std::int16_t> samples, int sampleRate);

// A stretch of square wave cut where its pitch changes (a melody plays its
// tones without gaps): each piece has the frequency of its half-periods.
// A piece ends with the half-period in which the change fell, so its length
// is right to within one half-period.
std::vector<Segment> splitByPitch(std::span<const std::int16_t> samples, const Segment& segment,
                                  int sampleRate);

} // namespace soundtest
