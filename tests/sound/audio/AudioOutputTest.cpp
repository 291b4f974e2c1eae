// The real tone output against a real sound server: a PulseAudio server of the
// test's own with a null sink, whose monitor is recorded while the speaker
// plays, and each tone's pitch and length are read back from the samples.

#include "CallLog.h"
#include "MonitorRecorder.h"
#include "PulseTestServer.h"
#include "WaveAnalysis.h"

#include "platform/Fakes.h"
#include "platform/RealServices.h"
#include "sound/AudioToneOutput.h"
#include "sound/SpeakerHardware.h"
#include "sound/ToneRenderer.h"
#include "sound/Tones.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

using sound::kMillisecond;
using sound::Nanoseconds;
using sound::TPCSpeaker;
using soundtest::CallLog;
using soundtest::Segment;

namespace {

constexpr int kRate = soundtest::PulseTestServer::kSampleRate;
// Silence between two sequences, so that each is a stretch of its own.
constexpr int kGapMs = 250;

// Runs the event loop until `done` holds or the time is up.
bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class AudioOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound::SpeakerHardware::instance().reset();
        if (!server.start())
            GTEST_SKIP() << "No PulseAudio server could be started here, so nothing can be "
                            "recorded: "
                         << server.why().toStdString();
        qputenv("PULSE_SERVER", server.serverString().toUtf8());
        ASSERT_TRUE(startRecorder());
        output = std::make_unique<sound::AudioToneOutput>();
        log = std::make_unique<CallLog>(*output);
        m_fakeServices = platform::services();
        platform::Services services = m_fakeServices;
        services.clock = &clock;
        services.tones = log.get();
        platform::setServices(services);
        ASSERT_TRUE(settle());
    }

    // Waits until the output's stream plays, then starts the record afresh.
    // A null sink takes a while to fall into a new stream's rhythm (on a
    // desktop that is long past when the first action comes).
    bool settle()
    {
        if (!waitFor([&] { return output->hasAudioDevice(); }, 5000)) {
            ADD_FAILURE() << "the tone output did not open its stream";
            return false;
        }
        const qint64 settled = output->samplesGenerated() + kRate / 2;
        if (!waitFor([&] { return output->samplesGenerated() >= settled; }, 5000)) {
            ADD_FAILURE() << "the tone output's stream does not run";
            return false;
        }
        speaker.ToneWait(100);
        recorder->forget();
        log->clear();
        return true;
    }

    void TearDown() override
    {
        speaker.NoSound();
        platform::setServices(m_fakeServices);
        output.reset();
        recorder.reset();
        qunsetenv("PULSE_SERVER");
        sound::SpeakerHardware::instance().reset();
    }

    bool startRecorder()
    {
        recorder = std::make_unique<soundtest::MonitorRecorder>();
        if (recorder->start(server.serverString(), server.monitor(), kRate))
            return true;
        ADD_FAILURE() << recorder->why().toStdString();
        return false;
    }

    // What was heard, cut into tones at every pause and change of pitch.
    std::vector<Segment> heardTones(const std::vector<std::int16_t>& samples) const
    {
        std::vector<Segment> tones;
        for (const Segment& s : soundtest::findSegments(samples, kRate)) {
            const auto pieces = soundtest::splitByPitch(samples, s, kRate);
            tones.insert(tones.end(), pieces.begin(), pieces.end());
        }
        return tones;
    }

    platform::ScopedFakeServices fakes;
    platform::SystemClock clock;
    soundtest::PulseTestServer server;
    std::unique_ptr<soundtest::MonitorRecorder> recorder;
    std::unique_ptr<sound::AudioToneOutput> output;
    std::unique_ptr<CallLog> log;
    TPCSpeaker speaker;
    platform::Services m_fakeServices;
};

struct Sequence {
    const char* name;
    void (*play)(TPCSpeaker&);
};

const Sequence kToneSet[] = {
    {"insert", sound::toneInsert},
    {"done", sound::toneDone},
    {"saved by key", sound::toneSavedByKey},
    {"deleted", sound::toneDeleted},
    {"all deleted", sound::toneAllDeleted},
    {"dropped / not found", sound::playDropped},
    {"search finished", sound::toneSearchFinished},
    {"rising melody", sound::playRisingMelody},
    {"falling melody", sound::playFallingMelody},
    {"falling melody, long end", sound::playFallingMelodyLongEnd},
    {"full minute", sound::toneFullMinute},
};

// Every tone and pause of the shared set is heard at its pitch (1 %) and for
// its length (10 ms), starting within 30 ms of its call, and nothing else is
// heard: no click before, between or after the tones.
TEST_F(AudioOutputTest, ToneSetIsHeardAtItsPitchAndLength)
{
    struct Expected {
        const char* name;
        int hertz; // 0: a pause within the sequence
        int ms;
    };
    std::vector<Expected> expected;
    for (const Sequence& sequence : kToneSet) {
        platform::ScopedFakeServices dry; // what the sequence asks for, in no time
        TPCSpeaker drySpeaker;
        sequence.play(drySpeaker);
        for (const platform::Sounded& s : dry.tones.sounded())
            expected.push_back({sequence.name, s.hertz, static_cast<int>(s.ms)});
    }
    sound::SpeakerHardware::instance().reset();

    for (const Sequence& sequence : kToneSet) {
        sequence.play(speaker);
        speaker.ToneWait(kGapMs);
    }
    const std::vector<std::int16_t> samples = recorder->samples();
    const std::vector<CallLog::Stretch> asked = log->stretches(100 * kMillisecond);
    const std::vector<Segment> heard = heardTones(samples);
    ASSERT_EQ(asked.size(), expected.size());

    // Put the pauses in as silences between the heard tones they separate.
    std::vector<Segment> timeline;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        if (!timeline.empty()) {
            const Segment& before = timeline.back();
            const std::int64_t gap = heard[i].first - before.end();
            if (gap > 0 && gap < kGapMs * kRate / 2000)
                timeline.push_back({before.end(), gap, 0});
        }
        timeline.push_back(heard[i]);
    }
    std::string heardText;
    for (const Segment& t : timeline)
        heardText += std::to_string(static_cast<int>(t.hertz)) + " Hz " +
                     std::to_string(t.ms(kRate)) + " ms at " + std::to_string(t.first) + "\n";
    ASSERT_EQ(timeline.size(), expected.size()) << "tones heard, other than those played:\n"
                                                << heardText;

    std::printf("\n%-26s %9s %7s %11s %9s %11s %9s\n", "tone", "expected", "", "measured", "",
                "asked", "delay");
    std::printf("%-26s %9s %7s %11s %9s %11s %9s\n", "", "Hz", "ms", "Hz", "ms", "ms", "ms");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        const Segment& m = timeline[i];
        const double ms = m.ms(kRate);
        const double delay =
            static_cast<double>(recorder->playedAt(m.first) - asked[i].from) / kMillisecond;
        std::printf("%-26s %9d %7d %11.2f %9.2f %11.2f %9.2f\n", e.name, e.hertz, e.ms, m.hertz, ms,
                    asked[i].ms(), delay);
        SCOPED_TRACE(std::string(e.name) + ", step " + std::to_string(i));
        const int sounding = e.hertz > 0 ? TPCSpeaker::soundingFrequency(
                                               static_cast<unsigned short>(e.hertz))
                                         : 0;
        EXPECT_EQ(asked[i].hertz, sounding);
        if (e.hertz > 0) {
            EXPECT_NEAR(m.hertz, sounding, sounding * 0.01);
        }
        // The length heard is the length asked, to the half-period the
        // analysis can place a change of pitch in (a pause has sharp edges).
        // How close the asking came to the nominal length is the wait's
        // business (and the machine's load), shown in the table.
        const double halfPeriod = e.hertz > 0 ? 500.0 / e.hertz : 0.1;
        EXPECT_NEAR(ms, asked[i].ms(), 1.0 + halfPeriod);
        EXPECT_LE(delay, 30.0);
        EXPECT_GE(delay, -1.0);
    }
    std::printf("late calls: %lld\n", static_cast<long long>(output->lateEvents()));
}

// The thousandth tone of a run sounds like the first: none lost, shortened
// or split, however many times the speaker has been switched.
TEST_F(AudioOutputTest, ThousandTonesInARowAreAllHeard)
{
    constexpr int kTones = 1000;
    for (int i = 0; i < kTones; ++i) {
        speaker.PlayTone(1600, 4); // 30 samples a period
        speaker.ToneWait(2);
    }
    speaker.NoSound();
    speaker.ToneWait(100);

    const std::vector<std::int16_t> samples = recorder->samples();
    const auto heard = soundtest::findSegments(samples, kRate);
    std::vector<CallLog::Stretch> asked;
    for (const CallLog::Stretch& s : log->stretches(100 * kMillisecond)) {
        if (s.hertz > 0)
            asked.push_back(s);
    }
    ASSERT_EQ(asked.size(), static_cast<std::size_t>(kTones));
    ASSERT_EQ(heard.size(), asked.size());
    int wrong = 0;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const bool right = std::abs(heard[i].ms(kRate) - asked[i].ms()) <= 1.0 &&
                           std::abs(heard[i].hertz - 1600) <= 16;
        if (!right && ++wrong <= 5)
            ADD_FAILURE() << "tone " << i << ": " << heard[i].hertz << " Hz, "
                          << heard[i].ms(kRate) << " ms, asked " << asked[i].ms() << " ms";
    }
    EXPECT_EQ(wrong, 0);
}

// The two alert sounds are heard, each as one sound of its own length and
// within 30 ms of the call, also while a tone sounds.
TEST_F(AudioOutputTest, AlertSoundsAreHeard)
{
    sound::beep();
    speaker.ToneWait(kGapMs);
    sound::questionSound();
    speaker.ToneWait(kGapMs + 100);
    speaker.ToneOn(400);
    speaker.ToneWait(50);
    sound::beep();
    speaker.ToneWait(50);
    speaker.NoSound();
    speaker.ToneWait(300);

    const std::vector<std::int16_t> samples = recorder->samples();
    const auto heard = soundtest::findSegments(samples, kRate);
    ASSERT_EQ(heard.size(), 3u);
    const auto& calls = log->calls();
    ASSERT_EQ(calls.size(), 5u); // beep, question, tone on, beep, tone off
    struct Case {
        const char* name;
        double ms;
        double hertz; // of the first stretch of sound, 0 where not measured
        std::size_t call;
    };
    const Case cases[] = {{"beep", 180, 880, 0}, {"question", 260, 0, 1}};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_NEAR(heard[i].ms(kRate), cases[i].ms, 1.0);
        if (cases[i].hertz > 0) {
            EXPECT_NEAR(heard[i].hertz, cases[i].hertz, cases[i].hertz * 0.01);
        }
        const double delay =
            static_cast<double>(recorder->playedAt(heard[i].first) - calls[cases[i].call].at) /
            kMillisecond;
        std::printf("%-10s %8.2f ms, %8.2f Hz, heard %6.2f ms after the call\n", cases[i].name,
                    heard[i].ms(kRate), heard[i].hertz, delay);
        EXPECT_GE(delay, -1.0);
        EXPECT_LE(delay, 30.0);
    }
    // The beep over the tone: the tone alone until the beep's call, then the
    // beep (mixed in, louder than either) runs on after the tone has ended.
    const double toneAloneMs = static_cast<double>(calls[3].at - calls[2].at) / kMillisecond;
    EXPECT_NEAR(heard[2].ms(kRate), toneAloneMs + 180, 1.0);
    const auto peak = *std::max_element(samples.begin() + heard[2].first,
                                        samples.begin() + heard[2].end());
    EXPECT_GT(peak, sound::ToneRenderer::kAmplitude);
}

// A server that dies: the output goes silent at once, every call returns at
// once and every wait lasts its time; when a server is back, so are the tones.
TEST_F(AudioOutputTest, LostServerLeavesSilenceAndTonesComeBack)
{
    speaker.ToneOn(400);
    speaker.ToneWait(50);
    recorder.reset();
    server.kill();
    QElapsedTimer elapsed;
    elapsed.start();
    speaker.ToneWait(200);
    EXPECT_GE(elapsed.elapsed(), 199); // the wait counts whole milliseconds
    EXPECT_LT(elapsed.elapsed(), 400);
    speaker.ToneOff();
    EXPECT_TRUE(waitFor([&] { return !output->hasAudioDevice(); }, 2000));
    elapsed.restart();
    sound::playRisingMelody(speaker);
    sound::beep();
    sound::questionSound();
    EXPECT_LT(elapsed.elapsed(), 1460 + 400) << "the melody or the alerts waited for the server";
    for (const CallLog::Call& call : log->calls())
        EXPECT_LT(call.took, 100 * kMillisecond) << "a call waited for the lost server";

    ASSERT_TRUE(server.start()) << server.why().toStdString();
    ASSERT_TRUE(startRecorder());
    ASSERT_TRUE(settle());
    sound::toneDone(speaker);
    speaker.ToneWait(100);
    const auto heard = heardTones(recorder->samples());
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_NEAR(heard[0].hertz, 400, 4);
    EXPECT_NEAR(heard[0].ms(kRate), 100, 10);
}

// The device goes away (a headset unplugged, with nothing to fall back on):
// silence without waiting; when it is back, the tones are too.
TEST_F(AudioOutputTest, DeviceThatGoesAwayAndComesBack)
{
    recorder.reset();
    ASSERT_TRUE(server.unloadSink());
    EXPECT_TRUE(waitFor([&] { return !output->hasAudioDevice(); }, 2000));
    QElapsedTimer elapsed;
    elapsed.start();
    sound::toneDone(speaker);
    sound::beep();
    EXPECT_LT(elapsed.elapsed(), 100 + 200);

    ASSERT_TRUE(server.loadSink());
    ASSERT_TRUE(startRecorder());
    ASSERT_TRUE(settle());
    sound::toneSearchFinished(speaker);
    speaker.ToneWait(100);
    const auto heard = heardTones(recorder->samples());
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_NEAR(heard[0].hertz, 500, 5);
    EXPECT_NEAR(heard[0].ms(kRate), 70, 10);
}

} // namespace
