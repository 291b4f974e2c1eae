#include "sound/AlertSounds.h"

#include "sound/ToneRenderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace sound {

namespace {

struct Note {
    double startMs;
    double lengthMs;
    double hertz;
    double overtoneRatio; // a second partial, for a bell-like colour; 0 for none
    double overtoneLevel;
    double decayMs; // time constant of the fading
    double peak;    // in sample units
};

constexpr double kAttackMs = 3.0;   // soft start: no click
constexpr double kReleaseMs = 10.0; // the end fades to zero: no click either

std::vector<std::int16_t> synthesize(std::initializer_list<Note> notes)
{
    double endMs = 0;
    for (const Note& note : notes)
        endMs = std::max(endMs, note.startMs + note.lengthMs);
    const auto total = static_cast<std::size_t>(endMs * ToneRenderer::kSampleRate / 1000.0);
    std::vector<double> mix(total, 0.0);
    for (const Note& note : notes) {
        const auto first =
            static_cast<std::size_t>(note.startMs * ToneRenderer::kSampleRate / 1000);
        const auto count =
            static_cast<std::size_t>(note.lengthMs * ToneRenderer::kSampleRate / 1000);
        for (std::size_t i = 0; i < count && first + i < total; ++i) {
            const double ms = 1000.0 * static_cast<double>(i) / ToneRenderer::kSampleRate;
            const double seconds = ms / 1000.0;
            double envelope = std::exp(-ms / note.decayMs);
            envelope *= std::min(1.0, ms / kAttackMs);
            const double left = note.lengthMs - ms;
            if (left < kReleaseMs)
                envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * left / kReleaseMs);
            const double phase = 2 * std::numbers::pi * note.hertz * seconds;
            double value = std::sin(phase);
            if (note.overtoneRatio > 0)
                value += note.overtoneLevel * std::sin(phase * note.overtoneRatio);
            mix[first + i] += note.peak * envelope * value;
        }
    }
    std::vector<std::int16_t> samples(total);
    std::transform(mix.begin(), mix.end(), samples.begin(), [](double v) {
        return static_cast<std::int16_t>(std::lround(std::clamp(v, -32767.0, 32767.0)));
    });
    return samples;
}

} // namespace

std::span<const std::int16_t> beepSamples()
{
    static const std::vector<std::int16_t> samples =
        synthesize({{0, 180, 880, 2.76, 0.25, 50, 8000}});
    return samples;
}

std::span<const std::int16_t> questionSamples()
{
    static const std::vector<std::int16_t> samples = synthesize({
        {0, 120, 587.33, 0, 0, 70, 8000},
        {100, 160, 880, 0, 0, 70, 8000},
    });
    return samples;
}

} // namespace sound
