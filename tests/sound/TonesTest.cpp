#include "sound/Tones.h"

#include "platform/Fakes.h"
#include "sound/AudioToneOutput.h"
#include "sound/SpeakerHardware.h"
#include "sound/SquareWave.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using platform::ToneList;
using sound::SpeakerHardware;
using sound::TPCSpeaker;

namespace {

struct ToneSetCase {
    const char* name;
    void (*play)(TPCSpeaker&);
    ToneList expected;
};

// The windows rely on these exact tones; 3000 Hz sounds at the timer's 3005.
TEST(ToneSet, SequencesSoundTheirTonesAndEndSilenced)
{
    const std::vector<ToneSetCase> cases = {
        {"insert", sound::toneInsert, {{400, 50}}},
        {"done", sound::toneDone, {{400, 100}}},
        {"saved by key", sound::toneSavedByKey, {{450, 75}}},
        {"deleted", sound::toneDeleted, {{90, 150}}},
        {"all deleted", sound::toneAllDeleted, {{90, 300}}},
        {"dropped", sound::playDropped, {{90, 70}, {0, 70}, {90, 70}}},
        {"not found", sound::playNotFound, {{90, 70}, {0, 70}, {90, 70}}},
        {"search finished", sound::toneSearchFinished, {{500, 70}}},
        {"rising", sound::playRisingMelody, {{400, 500}, {500, 180}, {600, 180}, {800, 600}}},
        {"falling", sound::playFallingMelody, {{600, 200}, {510, 180}, {400, 220}}},
        {"falling, long end",
         sound::playFallingMelodyLongEnd,
         {{600, 200}, {510, 180}, {400, 450}}},
        {"full minute", sound::toneFullMinute, {{3005, 60}}},
    };
    for (const ToneSetCase& c : cases) {
        SCOPED_TRACE(c.name);
        SpeakerHardware::instance().reset();
        SpeakerHardware::instance().setRecording(true);
        platform::ScopedFakeServices fakes;
        TPCSpeaker speaker;
        c.play(speaker);
        EXPECT_EQ(fakes.tones.sounded(), c.expected);
        EXPECT_FALSE(fakes.tones.sounding());
        // The last write is the closing NoSound right after the last ToneOff.
        const auto& writes = SpeakerHardware::instance().writes();
        ASSERT_GE(writes.size(), 2);
        EXPECT_EQ(writes.last().port, SpeakerHardware::controlPort);
        EXPECT_EQ(writes.last().value & SpeakerHardware::speakerBits, 0);
        EXPECT_EQ(writes[writes.size() - 2].port, SpeakerHardware::controlPort);
    }
    SpeakerHardware::instance().reset();
}

// The two alert sounds are distinct events, not tones.
TEST(ToneSet, AlertsReachTheOutputApart)
{
    platform::ScopedFakeServices fakes;
    sound::beep();
    sound::questionSound();
    sound::beep();
    EXPECT_EQ(fakes.tones.beeps(), 2);
    EXPECT_EQ(fakes.tones.questionSounds(), 1);
    EXPECT_TRUE(fakes.tones.sounded().isEmpty());
}

std::vector<std::int16_t> readSamples(sound::SquareWave& wave, int count)
{
    std::vector<std::int16_t> samples(static_cast<size_t>(count));
    const QByteArray bytes = wave.read(count * 2);
    std::memcpy(samples.data(), bytes.constData(), static_cast<size_t>(bytes.size()));
    return samples;
}

// 2205 Hz at 22050 samples a second is a period of 10 samples: 5 up, 5 down.
// A wrong phase step would give another period; 0 Hz must be true silence.
TEST(SquareWave, GeneratesThePeriodOfTheFrequency)
{
    sound::SquareWave wave;
    ASSERT_TRUE(wave.open(QIODevice::ReadOnly));
    wave.setFrequency(0);
    for (std::int16_t s : readSamples(wave, 50))
        EXPECT_EQ(s, 0);
    wave.setFrequency(2205);
    const std::vector<std::int16_t> samples = readSamples(wave, 40);
    for (size_t i = 0; i < samples.size(); ++i) {
        const bool high = (i % 10) < 5;
        EXPECT_EQ(samples[i] > 0, high) << i;
        EXPECT_NE(samples[i], 0) << i;
    }
    EXPECT_GT(wave.bytesAvailable(), 0);
}

// Headless machines have no audio device: the real output must still build,
// take tones and alerts, and stay silent without crashing or asking anything.
TEST(AudioToneOutput, RunsSilentlyWithoutAnAudioDevice)
{
    SpeakerHardware::instance().reset();
    sound::AudioToneOutput output;
    platform::ScopedFakeServices fakes;
    platform::Services real = platform::services();
    real.tones = &output;
    platform::setServices(real);

    TPCSpeaker speaker;
    speaker.ToneOn(400);
    EXPECT_EQ(output.frequency(), 400);
    speaker.ToneOn(800);
    EXPECT_EQ(output.frequency(), 800);
    speaker.ToneWait(20);
    speaker.ToneOff();
    EXPECT_EQ(output.frequency(), 0);
    sound::toneDone(speaker);
    sound::beep();
    sound::questionSound();
    QCoreApplication::processEvents();
    EXPECT_TRUE(fakes.dialogs.shown().isEmpty());
    platform::setServices({});
}

// Where the desktop has an audio device, a tone must actually be pulled from
// the generator while the wait runs the event loop, and stop with toneOff.
TEST(AudioToneOutput, PlaysThroughTheDeviceWhenThereIsOne)
{
    sound::AudioToneOutput output;
    if (!output.hasAudioDevice())
        GTEST_SKIP() << "no audio device on this machine";
    output.toneOn(400);
    QElapsedTimer timer;
    timer.start();
    while (output.samplesGenerated() == 0 && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GT(output.samplesGenerated(), 0);
    output.toneOff();
    EXPECT_EQ(output.frequency(), 0);
}

} // namespace
