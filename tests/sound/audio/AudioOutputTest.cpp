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
#include <sstream>
#include <string>

using sound::kMillisecond;
using sound::Nanoseconds;
using sound::TPCSpeaker;
using soundtest::CallLog;
using soundtest::Segment;

namespace {

constexpr int kRate = soundtest::PulseTestServer::kSampleRate;
// Silence between two sequences, so that each is a stretch of its own; a
// pause within a sequence (70 ms, more on a busy machine) is shorter than
// the longest pause, a gap between sequences longer.
constexpr int kGapMs = 250;
constexpr Nanoseconds kLongestPause = 150 * kMillisecond;
// How soon after its call a sound must be heard.
constexpr double kMaxDelayMs = 30.0;

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

// What one run of a measurement found wrong.
class Findings {
public:
    template <typename... Parts> void add(const Parts&... parts)
    {
        std::ostringstream text;
        (text << ... << parts);
        m_problems.push_back(text.str());
    }
    void near(const char* what, double value, double expected, double tolerance)
    {
        if (std::abs(value - expected) > tolerance)
            add(what, ": ", value, " where ", expected, " +- ", tolerance, " was expected");
    }
    const std::vector<std::string>& problems() const { return m_problems; }

private:
    std::vector<std::string> m_problems;
};

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

    // Waits until the output's stream plays (a null sink takes a while to
    // fall into a new stream's rhythm; on a desktop that is long past when
    // the first action comes), then starts the record afresh.
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

    // Plays and measures. On a machine so busy that the output itself says
    // it fell behind (a call that reached it after its moment, a server that
    // ran dry, or asked for samples so seldom that a call could not be
    // heard within 30 ms), what went wrong is the machine's doing: the
    // measurement is made again, up to three times in all. Anything wrong while the
    // output kept up is a fault.
    void measure(const std::function<void(Findings&)>& playAndCheck)
    {
        constexpr int kAttempts = 3;
        for (int attempt = 1;; ++attempt) {
            const qint64 troubleBefore = output->lateEvents() + output->underruns();
            output->resetLongestDelay();
            recorder->forget();
            log->clear();
            Findings findings;
            playAndCheck(findings);
            const bool fellBehind = output->lateEvents() + output->underruns() != troubleBefore ||
                                    output->longestDelayMs() > kMaxDelayMs - 1;
            if (findings.problems().empty())
                return;
            if (!fellBehind || attempt == kAttempts) {
                for (const std::string& problem : findings.problems())
                    ADD_FAILURE() << problem;
                if (fellBehind)
                    ADD_FAILURE() << "the output fell behind " << kAttempts
                                  << " times: is the machine too busy?";
                return;
            }
            std::printf("The output fell behind (%lld late calls, %lld underruns, a delay of up "
                        "to %.1f ms): again.\n",
                        static_cast<long long>(output->lateEvents()),
                        static_cast<long long>(output->underruns()), output->longestDelayMs());
            // Time for the output to come back to its usual delay.
            speaker.NoSound();
            speaker.ToneWait(600);
        }
    }

    // What was heard, cut into tones at every pause and change of pitch.
    static std::vector<Segment> heardTones(const std::vector<std::int16_t>& samples)
    {
        std::vector<Segment> tones;
        for (const Segment& s : soundtest::findSegments(samples, kRate)) {
            const auto pieces = soundtest::splitByPitch(samples, s, kRate);
            tones.insert(tones.end(), pieces.begin(), pieces.end());
        }
        return tones;
    }

    double delayMs(const Segment& heard, Nanoseconds askedAt) const
    {
        return static_cast<double>(recorder->playedAt(heard.first) - askedAt) / kMillisecond;
    }

    // After the sound came back: one tone, as it should be.
    void expectOneTone(void (*play)(TPCSpeaker&), double hertz, double ms)
    {
        measure([&](Findings& findings) {
            play(speaker);
            speaker.ToneWait(100);
            const auto heard = heardTones(recorder->samples());
            if (heard.size() != 1) {
                findings.add(heard.size(), " tones heard where one was played");
                return;
            }
            findings.near("Hz", heard[0].hertz, hertz, hertz / 100);
            findings.near("ms", heard[0].ms(kRate), ms, 10);
        });
    }

    void checkDelay(Findings& findings, const std::string& what, double delay) const
    {
        if (delay < -1.0 || delay > kMaxDelayMs)
            findings.add(what, " heard ", delay, " ms after its call");
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
// as long as it was asked, starting within 30 ms of its call, and nothing
// else is heard: no click before, between or after the tones.
TEST_F(AudioOutputTest, ToneSetIsHeardAtItsPitchAndLength)
{
    struct Expected {
        const char* name;
        int hertz; // as it sounds; 0: a pause within the sequence
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

    measure([&](Findings& findings) {
        for (const Sequence& sequence : kToneSet) {
            sequence.play(speaker);
            speaker.ToneWait(kGapMs);
        }
        const std::vector<std::int16_t> samples = recorder->samples();
        const std::vector<CallLog::Stretch> asked = log->stretches(kLongestPause);
        // The heard tones, with the pauses within a sequence put in between.
        std::vector<Segment> heard;
        for (const Segment& tone : heardTones(samples)) {
            const std::int64_t gap = heard.empty() ? 0 : tone.first - heard.back().end();
            if (gap > 0 && gap < kLongestPause * kRate / sound::kSecond)
                heard.push_back({heard.back().end(), gap, 0});
            heard.push_back(tone);
        }
        if (asked.size() != expected.size() || heard.size() != expected.size()) {
            std::string list;
            for (const Segment& t : heard)
                list += "\n  " + std::to_string(t.hertz) + " Hz, " + std::to_string(t.ms(kRate)) +
                        " ms";
            findings.add(expected.size(), " tones and pauses played, ", asked.size(), " asked, ",
                         heard.size(), " heard:", list);
            return;
        }

        std::printf("\n%-26s %9s %7s %11s %9s %11s %9s\n", "tone", "expected", "", "measured", "",
                    "asked", "delay");
        std::printf("%-26s %9s %7s %11s %9s %11s %9s\n", "", "Hz", "ms", "Hz", "ms", "ms", "ms");
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Expected& e = expected[i];
            const Segment& m = heard[i];
            const double ms = m.ms(kRate);
            const double delay = delayMs(m, asked[i].from);
            std::printf("%-26s %9d %7d %11.2f %9.2f %11.2f %9.2f\n", e.name, e.hertz, e.ms, m.hertz,
                        ms, asked[i].ms(), delay);
            const std::string what = std::string(e.name) + ", step " + std::to_string(i);
            if (asked[i].hertz != e.hertz)
                findings.add(what, ": asked ", asked[i].hertz, " Hz");
            if (e.hertz > 0)
                findings.near((what + " Hz").c_str(), m.hertz, e.hertz, e.hertz * 0.01);
            // The length heard is the length asked, to the half-period the
            // analysis can place a change of pitch in (a pause has sharp
            // edges) and the little the stream's timing moves over a long
            // tone; switching only between chunks would be up to 5 ms off.
            // How close the asking came to the nominal length is the wait's
            // business (and the machine's load): the table shows it.
            const double halfPeriod = e.hertz > 0 ? 500.0 / e.hertz : 0.1;
            findings.near((what + " ms").c_str(), ms, asked[i].ms(), 2.0 + halfPeriod);
            checkDelay(findings, what, delay);
        }
    });
}

// The thousandth tone of a run sounds like the first: none lost, shortened,
// merged or split, however many times the speaker has been switched. Measured
// in batches, so that a busy moment of the machine costs only its batch a
// second try.
TEST_F(AudioOutputTest, ThousandTonesInARowAreAllHeard)
{
    constexpr int kBatches = 4;
    constexpr int kTones = 250;
    for (int batch = 0; batch < kBatches; ++batch) {
        SCOPED_TRACE("batch " + std::to_string(batch));
        measure([&](Findings& findings) {
            for (int i = 0; i < kTones; ++i) {
                speaker.PlayTone(1600, 3); // 30 samples a period
                speaker.ToneWait(2);
            }
            speaker.NoSound();
            speaker.ToneWait(100);

            const std::vector<std::int16_t> samples = recorder->samples();
            const auto heard = soundtest::findSegments(samples, kRate);
            std::vector<CallLog::Stretch> asked;
            for (const CallLog::Stretch& s : log->stretches(kLongestPause)) {
                if (s.hertz > 0)
                    asked.push_back(s);
            }
            if (heard.size() != asked.size() || asked.size() != static_cast<std::size_t>(kTones)) {
                findings.add(kTones, " tones played, ", asked.size(), " asked, ", heard.size(),
                             " heard");
                return;
            }
            for (std::size_t i = 0; i < heard.size() && findings.problems().size() < 5; ++i) {
                if (std::abs(heard[i].ms(kRate) - asked[i].ms()) > 1.0 ||
                    std::abs(heard[i].hertz - 1600) > 16)
                    findings.add("tone ", i, ": ", heard[i].hertz, " Hz, ", heard[i].ms(kRate),
                                 " ms, asked ", asked[i].ms(), " ms");
            }
        });
    }
}

// The two alert sounds are heard, each as one sound of its own length and
// within 30 ms of its call, also while a tone sounds.
TEST_F(AudioOutputTest, AlertSoundsAreHeard)
{
    measure([&](Findings& findings) {
        sound::beep();
        speaker.ToneWait(kGapMs + 100);
        sound::questionSound();
        speaker.ToneWait(kGapMs + 200);
        speaker.ToneOn(400);
        speaker.ToneWait(50);
        sound::beep();
        speaker.ToneWait(50);
        speaker.NoSound();
        speaker.ToneWait(300);

        const std::vector<std::int16_t> samples = recorder->samples();
        const auto heard = soundtest::findSegments(samples, kRate);
        const auto& calls = log->calls(); // beep, question, tone on, beep, tone off
        if (heard.size() != 3 || calls.size() != 5) {
            findings.add(calls.size(), " calls, ", heard.size(), " sounds heard");
            return;
        }
        findings.near("beep ms", heard[0].ms(kRate), 180, 1.0);
        findings.near("beep Hz", heard[0].hertz, 880, 8.8);
        findings.near("question ms", heard[1].ms(kRate), 260, 1.0);
        for (std::size_t i = 0; i < 2; ++i) {
            const char* name = i == 0 ? "beep" : "question";
            const double delay = delayMs(heard[i], calls[i].at);
            std::printf("%-10s %8.2f ms, heard %6.2f ms after the call\n", name, heard[i].ms(kRate),
                        delay);
            checkDelay(findings, name, delay);
        }
        // The beep over the tone: the tone alone until the beep's call, then
        // the beep (mixed in, louder than either) runs on after the tone.
        const double toneAloneMs = static_cast<double>(calls[3].at - calls[2].at) / kMillisecond;
        findings.near("tone and beep ms", heard[2].ms(kRate), toneAloneMs + 180, 1.0);
        const auto peak =
            *std::max_element(samples.begin() + heard[2].first, samples.begin() + heard[2].end());
        if (peak <= sound::ToneRenderer::kAmplitude)
            findings.add("the beep was not mixed over the tone");
    });
}

// A server that dies: the output goes silent at once, every call returns at
// once and every wait lasts its time; when a server is back, so are the tones.
TEST_F(AudioOutputTest, LostServerLeavesSilenceAndTonesComeBack)
{
    if (!server.own())
        GTEST_SKIP() << "stops the server: needs a server of its own";
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
    expectOneTone(sound::toneDone, 400, 100);
}

// The device goes away (a headset unplugged, with nothing to fall back on):
// silence without waiting; when it is back, the tones are too.
TEST_F(AudioOutputTest, DeviceThatGoesAwayAndComesBack)
{
    if (!server.own())
        GTEST_SKIP() << "removes the sink: needs a server of its own";
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
    expectOneTone(sound::toneSearchFinished, 500, 70);
}

} // namespace
