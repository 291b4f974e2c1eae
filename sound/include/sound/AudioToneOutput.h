#pragma once

// The real tone output: one stream to the desktop's sound server, open for
// the whole run, whose samples are made here (silence, the speaker's square
// wave, the alert sounds), switched at the sample that matches the moment each
// call was made. Silent, and never waiting, where there is no sound server.

#include "platform/Platform.h"

#include <QtGlobal>

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

    // The stream to the sound server is open and playing (it opens shortly
    // after construction, and again after the server or the device was lost).
    bool hasAudioDevice() const;
    int frequency() const;           // of the tone asked for, 0 when silent
    qint64 samplesGenerated() const; // how many samples the server has taken
    // Signs that the machine was too busy for the stream: calls that reached
    // it after their moment, and times the server ran out of samples.
    qint64 lateEvents() const;
    qint64 underruns() const;
    // The longest time from a call to its sound since the last reset: about
    // 22 ms, more where the server asks for samples in a slower rhythm.
    double longestDelayMs() const;
    void resetLongestDelay();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace sound
