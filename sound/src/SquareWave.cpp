#include "sound/SquareWave.h"

#include <cstdint>
#include <cstring>

namespace sound {

namespace {
// A square wave at full scale is harsh; a quarter is loud enough for a signal.
constexpr std::int16_t amplitude = 8000;
} // namespace

SquareWave::SquareWave(QObject* parent) : QIODevice(parent) {}

qint64 SquareWave::bytesAvailable() const
{
    return QIODevice::bytesAvailable() + sampleRate * 2;
}

qint64 SquareWave::readData(char* data, qint64 maxSize)
{
    const qint64 samples = maxSize / 2;
    const int hertz = m_hertz;
    for (qint64 i = 0; i < samples; ++i) {
        std::int16_t sample = 0;
        if (hertz > 0) {
            // Whole-number phase: no drift at the half-period boundary.
            sample = m_phase < sampleRate / 2 ? amplitude : static_cast<std::int16_t>(-amplitude);
            m_phase = static_cast<int>((static_cast<qint64>(m_phase) + hertz) % sampleRate);
        }
        std::memcpy(data + i * 2, &sample, sizeof sample);
    }
    m_generated += samples;
    return samples * 2;
}

qint64 SquareWave::writeData(const char*, qint64)
{
    return -1;
}

} // namespace sound
