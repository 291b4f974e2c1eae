#pragma once

#include <QIODevice>

#include <atomic>

namespace sound {

// An endless stream of 16-bit mono samples: a square wave at the set
// frequency, or silence at 0 Hz. The audio sink pulls from it.
class SquareWave : public QIODevice {
public:
    static constexpr int sampleRate = 22050;

    explicit SquareWave(QObject* parent = nullptr);
    void setFrequency(int hertz) { m_hertz = hertz; }
    int frequency() const { return m_hertz; }
    qint64 samplesGenerated() const { return m_generated; } // tones and silence alike

    // Always unbuffered: a read-ahead buffer would play an old frequency (or
    // silence) for a third of a second after every change.
    bool open(OpenMode mode) override { return QIODevice::open(mode | Unbuffered); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    std::atomic<int> m_hertz{0};
    std::atomic<qint64> m_generated{0};
    int m_phase = 0; // position within one period, in 1/sampleRate periods
};

} // namespace sound
