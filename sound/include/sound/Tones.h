#pragma once

// The tones and small melodies the windows share. Every function plays its
// sequence on the given speaker and ends with NoSound.

#include "sound/TPCSpeaker.h"

#include <span>

namespace sound {

// One step of a sequence: a tone, or a pause when hz is 0.
struct ToneStep {
    unsigned short hz = 0;
    int ms = 0;
};

namespace tones {
inline constexpr ToneStep insert[] = {{400, 50}};                    // a new record is started
inline constexpr ToneStep done[] = {{400, 100}};                     // done
inline constexpr ToneStep savedByKey[] = {{450, 75}};                // saved by key
inline constexpr ToneStep deleted[] = {{90, 150}};                   // deleted
inline constexpr ToneStep allDeleted[] = {{90, 300}};                // all deleted
inline constexpr ToneStep dropped[] = {{90, 70}, {0, 70}, {90, 70}}; // dropped, or not found
inline constexpr ToneStep searchFinished[] = {{500, 70}};
inline constexpr ToneStep risingMelody[] = {{400, 500}, {500, 180}, {600, 180}, {800, 600}};
inline constexpr ToneStep fallingMelody[] = {{600, 200}, {510, 180}, {400, 220}};
inline constexpr ToneStep fallingMelodyLongEnd[] = {{600, 200}, {510, 180}, {400, 450}};
inline constexpr ToneStep fullMinute[] = {{3000, 60}};
} // namespace tones

// Plays the steps one after the other without gaps, then NoSound.
void playSequence(TPCSpeaker& speaker, std::span<const ToneStep> steps);

void toneInsert(TPCSpeaker& speaker);
void toneDone(TPCSpeaker& speaker);
void toneSavedByKey(TPCSpeaker& speaker);
void toneDeleted(TPCSpeaker& speaker);
void toneAllDeleted(TPCSpeaker& speaker);
void playDropped(TPCSpeaker& speaker);  // also "not found"
void playNotFound(TPCSpeaker& speaker); // the same as playDropped
void toneSearchFinished(TPCSpeaker& speaker);
void playRisingMelody(TPCSpeaker& speaker);
void playFallingMelody(TPCSpeaker& speaker);
void playFallingMelodyLongEnd(TPCSpeaker& speaker);
void toneFullMinute(TPCSpeaker& speaker);

// The desktop's alert sounds, through the platform's tone output.
void beep();
void questionSound();

} // namespace sound
