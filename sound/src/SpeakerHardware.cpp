#include "sound/SpeakerHardware.h"

#include "platform/Platform.h"

namespace sound {

SpeakerHardware& SpeakerHardware::instance()
{
    static SpeakerHardware hardware;
    return hardware;
}

std::uint8_t SpeakerHardware::read(std::uint16_t port) const
{
    return port == controlPort ? m_control : 0;
}

void SpeakerHardware::write(std::uint16_t port, std::uint8_t value)
{
    if (m_recording)
        m_writes.append({port, value});
    switch (port) {
    case controlPort:
        m_control = value;
        break;
    case commandPort:
        // A control word stops the channel until its new count is complete.
        if (value == channel2SquareWave) {
            m_countLoaded = false;
            m_expectLowByte = true;
        }
        break;
    case channel2Port:
        if (m_expectLowByte) {
            m_lowByte = value;
            m_expectLowByte = false;
        } else {
            m_divisor = static_cast<std::uint16_t>(m_lowByte | (value << 8));
            m_expectLowByte = true;
            m_countLoaded = true;
        }
        break;
    default:
        break;
    }
}

bool SpeakerHardware::sounding() const
{
    return (m_control & speakerBits) == speakerBits && m_countLoaded && m_expectLowByte;
}

int SpeakerHardware::frequency() const
{
    // The timer counts 0 as 65536.
    const std::uint32_t divisor = m_divisor == 0 ? 65536u : m_divisor;
    return static_cast<int>((timerClock + divisor / 2) / divisor);
}

void SpeakerHardware::settle()
{
    const bool nowSounding = sounding();
    platform::ToneOutput* output = platform::services().tones;
    if (nowSounding) {
        // Every completed ToneOn is passed on, the same frequency too: the
        // output in use may have been replaced since it was last told.
        m_outputSounding = true;
        if (output)
            output->toneOn(frequency());
    } else if (m_outputSounding) {
        m_outputSounding = false;
        if (output)
            output->toneOff();
    }
}

void SpeakerHardware::reset()
{
    *this = SpeakerHardware();
}

} // namespace sound
