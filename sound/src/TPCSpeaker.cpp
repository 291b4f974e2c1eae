#include "sound/TPCSpeaker.h"

#include "platform/RealServices.h"
#include "sound/SpeakerHardware.h"

#include <QCoreApplication>

namespace sound {

std::uint16_t TPCSpeaker::divisorFor(unsigned short hz)
{
    if (hz < lowestFrequency)
        return 0;
    return static_cast<std::uint16_t>(SpeakerHardware::timerClock / hz);
}

int TPCSpeaker::soundingFrequency(unsigned short hz)
{
    const std::uint32_t divisor = divisorFor(hz);
    if (divisor == 0)
        return 0;
    return static_cast<int>((SpeakerHardware::timerClock + divisor / 2) / divisor);
}

void TPCSpeaker::ToneOn(unsigned short hz)
{
    if (hz < lowestFrequency)
        return;
    const std::uint16_t divisor = divisorFor(hz);
    SpeakerHardware& hardware = SpeakerHardware::instance();
    const std::uint8_t control = hardware.read(SpeakerHardware::controlPort);
    // The timer is programmed only when the speaker is silent; a sounding tone
    // just gets its new count.
    if ((control & SpeakerHardware::speakerBits) == 0) {
        hardware.write(SpeakerHardware::controlPort, control | SpeakerHardware::speakerBits);
        hardware.write(SpeakerHardware::commandPort, SpeakerHardware::channel2SquareWave);
    }
    hardware.write(SpeakerHardware::channel2Port, static_cast<std::uint8_t>(divisor & 0xFF));
    hardware.write(SpeakerHardware::channel2Port, static_cast<std::uint8_t>(divisor >> 8));
    hardware.settle();
}

void TPCSpeaker::ToneOff()
{
    SpeakerHardware& hardware = SpeakerHardware::instance();
    const std::uint8_t control = hardware.read(SpeakerHardware::controlPort);
    hardware.write(SpeakerHardware::controlPort,
                   static_cast<std::uint8_t>(control & ~SpeakerHardware::speakerBits));
    hardware.settle();
}

void TPCSpeaker::NoSound()
{
    ToneOff();
}

void TPCSpeaker::ToneWait(int ms)
{
    static platform::SystemClock systemClock;
    platform::Clock* clock = platform::services().clock;
    if (!clock)
        clock = &systemClock;
    const std::uint32_t start = clock->tickCount();
    for (;;) {
        QCoreApplication::processEvents();
        // Unsigned difference: right also when the counter wraps during the wait.
        const std::uint32_t elapsed = clock->tickCount() - start;
        if (ms <= 0 || elapsed >= static_cast<std::uint32_t>(ms))
            return;
        clock->waitHint(static_cast<std::uint32_t>(ms) - elapsed);
    }
}

void TPCSpeaker::PlayTone(unsigned short hz, int ms)
{
    ToneOn(hz);
    ToneWait(ms);
    ToneOff();
}

} // namespace sound
