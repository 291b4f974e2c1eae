#include "sound/Tones.h"

#include "platform/Fakes.h"
#include "sound/AudioToneOutput.h"
#include "sound/SpeakerHardware.h"

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

// Without a sound server the real output must still build, take tones and
// alerts at once, and stay silent without crashing or asking anything.
TEST(AudioToneOutput, RunsSilentlyWithoutASoundServer)
{
    SpeakerHardware::instance().reset();
    qputenv("PULSE_SERVER", "unix:/nonexistent/pelmir-test/native");
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

} // namespace
