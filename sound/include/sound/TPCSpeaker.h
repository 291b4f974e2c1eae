#pragma once

// The speaker component every window that sounds tones holds. It keeps no
// state of its own: all instances drive the one SpeakerHardware.

#include <cstdint>

namespace sound {

class TPCSpeaker {
public:
    static constexpr unsigned short lowestFrequency = 19; // lower requests are ignored

    // Starts the speaker at hz, or changes the frequency of a sounding tone.
    void ToneOn(unsigned short hz);
    void ToneOff();
    // Does exactly what ToneOff does; windows call it after an action's last tone.
    void NoSound();
    // Waits ms milliseconds of the platform clock while the event loop runs;
    // events are processed at least once, also for ms <= 0.
    void ToneWait(int ms);
    void PlayTone(unsigned short hz, int ms);

    // The timer divisor for a request: 1193181 / hz (0 below the lowest frequency).
    static std::uint16_t divisorFor(unsigned short hz);
    // The frequency that sounds for a request, to the nearest hertz (3000 -> 3005).
    static int soundingFrequency(unsigned short hz);
};

} // namespace sound
