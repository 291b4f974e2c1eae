#pragma once

// The program's own alert sounds, made here rather than taken from the
// desktop's sound theme: they sound the same on every desktop, through the
// stream the tones already keep open, so a beep each second costs nothing
// and the question sound exists (the standard theme has none).

#include <cstdint>
#include <span>

namespace sound {

// A short soft ding (880 Hz with a bell-like overtone, 180 ms).
std::span<const std::int16_t> beepSamples();
// Two rising notes (587 Hz, then 880 Hz; 260 ms).
std::span<const std::int16_t> questionSamples();

} // namespace sound
