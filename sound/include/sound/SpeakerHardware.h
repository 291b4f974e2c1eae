#pragma once

// The one PC speaker all TPCSpeaker instances drive: the timer's channel 2 and
// the speaker control port, emulated so that what the speaker component writes
// can be checked, and so that the tone output hears of every real change.

#include <QList>

#include <cstdint>

namespace sound {

class SpeakerHardware {
public:
    static constexpr std::uint32_t timerClock = 1193181; // Hz, the timer's input clock
    static constexpr std::uint16_t controlPort = 0x61;   // bit 0 timer gate, bit 1 speaker data
    static constexpr std::uint16_t commandPort = 0x43;
    static constexpr std::uint16_t channel2Port = 0x42;
    // Channel 2, low byte then high byte, square wave, binary counting.
    static constexpr std::uint8_t channel2SquareWave = 0xB6;
    static constexpr std::uint8_t speakerBits = 0x03;

    struct PortWrite {
        std::uint16_t port = 0;
        std::uint8_t value = 0;
        bool operator==(const PortWrite&) const = default;
    };

    static SpeakerHardware& instance();

    std::uint8_t read(std::uint16_t port) const;
    void write(std::uint16_t port, std::uint8_t value);
    // Tells the platform's tone output the speaker's state once the speaker
    // component's port writes are complete: a sounding speaker's frequency,
    // or the silence that follows a sound (silencing silence tells nothing).
    void settle();

    bool sounding() const;
    std::uint16_t divisor() const { return m_divisor; }
    // The frequency the timer makes of the divisor, to the nearest hertz.
    int frequency() const;

    // Tests read back the port writes; off by default so nothing piles up.
    void setRecording(bool recording) { m_recording = recording; }
    const QList<PortWrite>& writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }
    // Silent, no count loaded, nothing recorded (a fresh machine, for tests).
    void reset();

private:
    SpeakerHardware() = default;

    std::uint8_t m_control = 0;
    std::uint16_t m_divisor = 0;
    std::uint8_t m_lowByte = 0;
    bool m_expectLowByte = true;
    bool m_countLoaded = false;
    bool m_outputSounding = false;
    bool m_recording = false;
    QList<PortWrite> m_writes;
};

} // namespace sound
