#pragma once

// The real tone output: a square wave generated through the desktop's audio,
// and the desktop's alert sounds. Silent where there is no audio device.

#include "platform/Platform.h"

#include <memory>

namespace sound {

class AudioToneOutput : public platform::ToneOutput {
public:
    AudioToneOutput();
    ~AudioToneOutput() override;
    AudioToneOutput(const AudioToneOutput&) = delete;
    AudioToneOutput& operator=(const AudioToneOutput&) = delete;

    void toneOn(int hertz) override;
    void toneOff() override;
    void beep() override;
    void questionSound() override;

    bool hasAudioDevice() const;
    int frequency() const;           // of the generated wave, 0 when silent
    qint64 samplesGenerated() const; // how much the audio device has pulled

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace sound
