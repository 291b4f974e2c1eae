#include "sound/SpeakerHardware.h"
#include "sound/TPCSpeaker.h"

#include "platform/Fakes.h"
#include "platform/RealServices.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using platform::ToneList;
using sound::SpeakerHardware;
using sound::TPCSpeaker;
using PortWrite = SpeakerHardware::PortWrite;

namespace {

class SpeakerTest : public ::testing::Test {
protected:
    SpeakerTest()
    {
        hardware().reset();
        hardware().setRecording(true);
    }
    ~SpeakerTest() override { hardware().reset(); }

    static SpeakerHardware& hardware() { return SpeakerHardware::instance(); }

    platform::ScopedFakeServices fakes;
    TPCSpeaker speaker;
};

struct DivisorCase {
    unsigned short hz;
    std::uint16_t divisor;
    int sounding; // 1193181 / divisor, to the nearest hertz
};

class SpeakerDivisor : public SpeakerTest, public ::testing::WithParamInterface<DivisorCase> {};

// The divisor is a whole-number division of the timer clock and the tone
// sounds at what the timer makes of it, not at the requested frequency.
TEST_P(SpeakerDivisor, SoundsAtTheTimersFrequency)
{
    const DivisorCase c = GetParam();
    speaker.ToneOn(c.hz);
    EXPECT_TRUE(hardware().sounding());
    EXPECT_EQ(hardware().divisor(), c.divisor);
    EXPECT_EQ(TPCSpeaker::divisorFor(c.hz), c.divisor);
    EXPECT_EQ(TPCSpeaker::soundingFrequency(c.hz), c.sounding);
    ASSERT_EQ(fakes.tones.events().size(), 1);
    EXPECT_EQ(fakes.tones.events()[0].hertz, c.sounding);
}

INSTANTIATE_TEST_SUITE_P(Frequencies, SpeakerDivisor,
                         ::testing::Values(DivisorCase{19, 62799, 19}, DivisorCase{90, 13257, 90},
                                           DivisorCase{400, 2982, 400},
                                           DivisorCase{3000, 397, 3005},
                                           DivisorCase{65535, 18, 66288}));

// 18 Hz and below would overflow the 16-bit divisor: such a request must not
// touch the speaker at all, neither a silent nor a sounding one.
TEST_F(SpeakerTest, EighteenHertzOrLessDoesNothing)
{
    for (unsigned short hz : {0, 1, 18}) {
        speaker.ToneOn(hz);
        EXPECT_FALSE(hardware().sounding()) << hz;
    }
    EXPECT_TRUE(hardware().writes().isEmpty());
    EXPECT_TRUE(fakes.tones.events().isEmpty());

    speaker.ToneOn(400);
    hardware().clearWrites();
    speaker.ToneOn(18);
    EXPECT_TRUE(hardware().writes().isEmpty());
    EXPECT_EQ(hardware().divisor(), 2982);
    EXPECT_EQ(fakes.tones.events().size(), 1);
}

// The timer is programmed only from silence; a tone already sounding gets
// only its new divisor, low byte first. Other bits of the control port stay.
TEST_F(SpeakerTest, PortWritesFollowTheSpeakerProtocol)
{
    hardware().write(SpeakerHardware::controlPort, 0x10);
    hardware().clearWrites();

    speaker.ToneOn(400); // 2982 = 0x0BA6
    EXPECT_EQ(hardware().writes(),
              (QList<PortWrite>{{0x61, 0x13}, {0x43, 0xB6}, {0x42, 0xA6}, {0x42, 0x0B}}));
    hardware().clearWrites();
    speaker.ToneOn(500); // 2386 = 0x0952
    EXPECT_EQ(hardware().writes(), (QList<PortWrite>{{0x42, 0x52}, {0x42, 0x09}}));
    hardware().clearWrites();
    speaker.ToneOff();
    speaker.NoSound();
    EXPECT_EQ(hardware().writes(), (QList<PortWrite>{{0x61, 0x10}, {0x61, 0x10}}));
    EXPECT_FALSE(hardware().sounding());

    // The output hears of changes only: silencing a silent speaker adds nothing.
    using Kind = platform::FakeToneOutput::Kind;
    const auto& events = fakes.tones.events();
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events[0].kind, Kind::ToneOn);
    EXPECT_EQ(events[1].hertz, 500);
    EXPECT_EQ(events[2].kind, Kind::ToneOff);
}

// All instances drive the one speaker: one window's ToneOff silences the
// tone another window started.
TEST_F(SpeakerTest, InstancesShareTheOneSpeaker)
{
    TPCSpeaker other;
    speaker.ToneOn(400);
    hardware().clearWrites();
    other.ToneOn(600);
    EXPECT_EQ(hardware().writes().size(), 2); // only the divisor: it was sounding
    other.ToneOff();
    EXPECT_FALSE(hardware().sounding());
    speaker.ToneOff();
    EXPECT_EQ(fakes.tones.sounded(), (ToneList{{400, 0}, {600, 0}}));
}

// Fakes installed while a tone sounds (one test after another that left the
// speaker on) must still hear the next tone, even at the same frequency.
TEST_F(SpeakerTest, ReplacedOutputHearsTheNextToneAtTheSameFrequency)
{
    speaker.ToneOn(400);
    platform::ScopedFakeServices local;
    speaker.ToneOn(400);
    local.clock.advanceMs(30);
    speaker.ToneOff();
    EXPECT_EQ(local.tones.sounded(), (ToneList{{400, 30}}));
}

// Counts the rounds of event processing through the dispatcher's awake signal.
int countRounds(const std::function<void()>& work)
{
    int rounds = 0;
    auto connection = QObject::connect(QAbstractEventDispatcher::instance(),
                                       &QAbstractEventDispatcher::awake, [&] { ++rounds; });
    work();
    QObject::disconnect(connection);
    return rounds;
}

// A zero or negative wait still lets pending events through, exactly once,
// with the tone sounding meanwhile.
TEST_F(SpeakerTest, ZeroDurationProcessesEventsOnceWhileSounding)
{
    for (int ms : {0, -5}) {
        SCOPED_TRACE(ms);
        fakes.tones.clear();
        bool firedWhileSounding = false;
        QTimer::singleShot(0, [&] { firedWhileSounding = hardware().sounding(); });
        const int rounds = countRounds([&] { speaker.PlayTone(400, ms); });
        EXPECT_EQ(rounds, 1);
        EXPECT_TRUE(firedWhileSounding);
        EXPECT_FALSE(hardware().sounding());
        EXPECT_EQ(fakes.tones.sounded(), (ToneList{{400, 0}}));
    }
}

// A wait that starts just before the 32-bit counter wraps must still last its
// full duration; an end computed as start + duration would end it at once.
TEST_F(SpeakerTest, WaitAcrossTheCounterWrapLastsItsFullDuration)
{
    for (std::uint32_t start : {0u, 0x7FFFFFF0u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(start);
        platform::ScopedFakeServices local;
        local.clock.setTickCount(start);
        local.clock.setWaitStep(1);
        speaker.PlayTone(400, 100);
        EXPECT_EQ(local.tones.sounded(), (ToneList{{400, 100}}));
        EXPECT_EQ(local.clock.tickCount(), start + 100u);
        EXPECT_EQ(local.clock.waitHints(), 100);
    }
}

// The wait must run the event loop: a timer due during a tone fires before
// the tone ends, and the real wait lasts at least its duration.
TEST_F(SpeakerTest, RealWaitKeepsTimersRunning)
{
    platform::SystemClock realClock;
    platform::Services withRealClock = platform::services();
    withRealClock.clock = &realClock;
    platform::setServices(withRealClock);

    bool fired = false;
    QTimer::singleShot(10, [&] { fired = true; });
    QElapsedTimer elapsed;
    elapsed.start();
    speaker.ToneWait(60);
    EXPECT_TRUE(fired);
    EXPECT_GE(elapsed.elapsed(), 59);
}

// What a user triggers during a melody sounds in between: its ToneOn changes
// the frequency, its ToneOff silences, and the melody goes on with its next tone.
TEST_F(SpeakerTest, ActionDuringAWaitSoundsInBetween)
{
    TPCSpeaker other;
    QTimer::singleShot(0, [&] {
        other.PlayTone(500, 70);
        other.NoSound();
    });
    speaker.PlayTone(400, 500);
    speaker.PlayTone(600, 180);
    speaker.NoSound();
    EXPECT_EQ(fakes.tones.sounded(), (ToneList{{400, 0}, {500, 70}, {0, 430}, {600, 180}}));
}

} // namespace
