#include "sound/ToneRenderer.h"

#include "WaveAnalysis.h"
#include "sound/AlertSounds.h"
#include "sound/PlaybackTiming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using sound::kMillisecond;
using sound::Nanoseconds;
using sound::ToneEvent;
using sound::ToneRenderer;
using Kind = ToneEvent::Kind;

namespace {

constexpr int kRate = ToneRenderer::kSampleRate;
constexpr std::int64_t kPerMs = kRate / 1000;

ToneEvent on(int hz, double ms)
{
    return {Kind::ToneOn, hz, static_cast<Nanoseconds>(ms * kMillisecond)};
}
ToneEvent off(double ms)
{
    return {Kind::ToneOff, 0, static_cast<Nanoseconds>(ms * kMillisecond)};
}
ToneEvent alert(Kind kind, double ms)
{
    return {kind, 0, static_cast<Nanoseconds>(ms * kMillisecond)};
}

// Renders `total` samples in chunks of the given sizes (repeated), the first
// sample heard at `start`, the chunks following each other without gaps.
std::vector<std::int16_t> renderChunked(ToneRenderer& renderer, std::int64_t total,
                                        const std::vector<std::int64_t>& chunks,
                                        Nanoseconds start = 0)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(total));
    std::int64_t done = 0;
    for (std::size_t c = 0; done < total; c = (c + 1) % chunks.size()) {
        const std::int64_t size = std::min(chunks[c], total - done);
        renderer.render(
            std::span(out).subspan(static_cast<std::size_t>(done), static_cast<std::size_t>(size)),
            start + done * sound::kSecond / kRate);
        done += size;
    }
    return out;
}

// A tone sounds from the sample heard `delay` after its ToneOn to the one
// heard `delay` after its ToneOff, to the sample, however the server cuts
// the stream into chunks: the old output switched only between chunks.
TEST(ToneRenderer, EventsLandOnTheirSampleWhateverTheChunks)
{
    const std::vector<std::vector<std::int64_t>> chunkings = {
        {48000}, {240}, {97, 1000, 13}, {1}, {960, 240, 4410}};
    for (const auto& chunks : chunkings) {
        SCOPED_TRACE(chunks.size() == 1 ? std::to_string(chunks[0]) : "mixed");
        ToneRenderer renderer(20 * kMillisecond);
        const std::vector<ToneEvent> events = {on(400, 0), off(50), on(600, 100), on(800, 130),
                                               off(160)};
        renderer.add(events);
        const auto samples = renderChunked(renderer, 200 * kPerMs, chunks);
        const auto segments = soundtest::findSegments(samples, kRate);
        ASSERT_EQ(segments.size(), 2u);
        EXPECT_EQ(segments[0].first, 20 * kPerMs);
        EXPECT_EQ(segments[0].count, 50 * kPerMs);
        EXPECT_EQ(segments[1].first, 120 * kPerMs);
        EXPECT_EQ(segments[1].count, 60 * kPerMs);
        const auto pieces = soundtest::splitByPitch(samples, segments[1], kRate);
        ASSERT_EQ(pieces.size(), 2u);
        EXPECT_NEAR(pieces[0].hertz, 600, 0.5);
        EXPECT_NEAR(pieces[1].hertz, 800, 0.5);
        EXPECT_NEAR(pieces[0].ms(kRate), 30, 1.0);
        EXPECT_TRUE(renderer.idle());
        EXPECT_EQ(renderer.lateEvents(), 0);
    }
}

// The wave has the asked frequency exactly, from the lowest the speaker
// takes to the highest that can be made; above half the sample rate it would
// be an audible alias of an ultrasonic tone, so it is silence.
TEST(ToneRenderer, SquareWaveHasTheFrequencyAskedFor)
{
    for (const int hz : {19, 90, 400, 510, 3005, 12000, 23999, 24000, 66288}) {
        SCOPED_TRACE(hz);
        ToneRenderer renderer(0);
        renderer.add(std::vector{on(hz, 0)});
        const auto samples = renderChunked(renderer, kRate, {4800});
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        if (hz >= kRate / 2) {
            EXPECT_EQ(*low, 0);
            EXPECT_EQ(*high, 0);
            continue;
        }
        EXPECT_EQ(*high, ToneRenderer::kAmplitude);
        EXPECT_EQ(*low, -ToneRenderer::kAmplitude);
        EXPECT_NEAR(soundtest::measureFrequency(samples, kRate), hz, hz * 0.001);
    }
}

// A melody's PlayTone after PlayTone (ToneOff and ToneOn microseconds apart)
// is one unbroken wave: no stray silent sample, no half-period cut short.
// A real pause between two tones stays a pause.
TEST(ToneRenderer, MelodyTonesJoinWithoutASeamAndPausesStay)
{
    ToneRenderer renderer(10 * kMillisecond);
    const std::vector<ToneEvent> events = {on(400, 0), off(7.0104), on(600, 7.0105),
                                           off(20),    on(600, 22), off(30)};
    renderer.add(events);
    const auto samples = renderChunked(renderer, 50 * kPerMs, {240});
    const auto segments = soundtest::findSegments(samples, kRate, 1);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[1].first - segments[0].end(), 2 * kPerMs);
    // Every half-period inside the joined tone lasts that of 400 or 600 Hz,
    // or lies between them where the pitch changed.
    std::int64_t run = 1;
    for (std::int64_t i = segments[0].first + 1; i < segments[0].end(); ++i) {
        if ((samples[i] > 0) == (samples[i - 1] > 0)) {
            ++run;
            continue;
        }
        EXPECT_GE(run, kRate / 2 / 600) << "at sample " << i;
        run = 1;
    }
}

// Events whose moment passed before the chunk (the stream came back after the
// server was gone) take effect at once: a tone long over stays silent, one
// still sounding starts at the chunk's start, a stale alert is dropped.
TEST(ToneRenderer, LateEventsCollapseIntoTheCurrentState)
{
    struct Case {
        const char* name;
        std::vector<ToneEvent> events;
        int firstSound; // -1: silence throughout, else 0: from the chunk's start
        std::int64_t late;
    };
    const std::vector<Case> cases = {
        {"tone long over", {on(400, 0), off(50)}, -1, 2},
        {"tone still on", {on(400, 0), off(1050)}, 0, 1},
        {"many switches", {on(400, 0), off(5), on(500, 10), off(15), on(600, 20)}, 0, 5},
        {"stale alert", {alert(Kind::Beep, 500)}, -1, 1},
        {"recent alert", {alert(Kind::Beep, 900)}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToneRenderer renderer(20 * kMillisecond);
        renderer.add(c.events);
        // The stream's first chunk is heard a second after the first event.
        const auto samples = renderChunked(renderer, 100 * kPerMs, {240}, 1000 * kMillisecond);
        const auto sound =
            std::find_if(samples.begin(), samples.end(), [](auto s) { return s != 0; });
        if (c.firstSound < 0)
            EXPECT_EQ(sound, samples.end());
        else
            EXPECT_LE(sound - samples.begin(), 2); // an alert rises from zero
        EXPECT_EQ(renderer.lateEvents(), c.late);
    }
}

// A larger delay takes effect at once; a smaller one waits until nothing has
// sounded for a while, so a tone or a melody's pause never changes length.
TEST(ToneRenderer, DelayGrowsAtOnceAndShrinksOnlyBetweenActions)
{
    ToneRenderer renderer(20 * kMillisecond);
    renderer.adjustDelay(30 * kMillisecond, 0);
    EXPECT_EQ(renderer.delay(), 30 * kMillisecond + ToneRenderer::kDelayMargin);
    renderer.adjustDelay(10 * kMillisecond, 0); // idle, nothing ever asked: shrinks
    EXPECT_EQ(renderer.delay(), 10 * kMillisecond + ToneRenderer::kDelayMargin);

    renderer.add(std::vector{on(400, 0), off(50)});
    renderChunked(renderer, 20 * kPerMs, {240}, 0);
    renderer.adjustDelay(5 * kMillisecond, 20 * kMillisecond); // sounding
    EXPECT_EQ(renderer.delay(), 10 * kMillisecond + ToneRenderer::kDelayMargin);
    renderChunked(renderer, 100 * kPerMs, {240}, 20 * kMillisecond);
    ASSERT_TRUE(renderer.idle());
    renderer.adjustDelay(5 * kMillisecond, 200 * kMillisecond); // silent, but only just
    EXPECT_EQ(renderer.delay(), 10 * kMillisecond + ToneRenderer::kDelayMargin);
    renderer.adjustDelay(5 * kMillisecond, 600 * kMillisecond);
    EXPECT_EQ(renderer.delay(), 5 * kMillisecond + ToneRenderer::kDelayMargin);
    renderer.adjustDelay(10 * sound::kSecond, 600 * kMillisecond);
    EXPECT_EQ(renderer.delay(), ToneRenderer::kMaxDelay);
}

// The alert sounds start and end at silence (no click), have their lengths,
// and mixed over a tone and each other they clip instead of wrapping around.
TEST(ToneRenderer, AlertSoundsAreCleanAndMixWithoutOverflow)
{
    struct Case {
        const char* name;
        std::span<const std::int16_t> samples;
        double ms;
    };
    for (const Case& c : {Case{"beep", sound::beepSamples(), 180},
                          Case{"question", sound::questionSamples(), 260}}) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(static_cast<double>(c.samples.size()) / kPerMs, c.ms, 0.1);
        EXPECT_LT(std::abs(c.samples.front()), 50);
        EXPECT_LT(std::abs(c.samples.back()), 50);
        const auto peak = *std::max_element(c.samples.begin(), c.samples.end());
        EXPECT_GT(peak, 5000);
    }
    const auto question = sound::questionSamples();
    EXPECT_NEAR(soundtest::measureFrequency(question.first(90 * kPerMs), kRate), 587.33, 3);
    EXPECT_NEAR(soundtest::measureFrequency(question.last(140 * kPerMs), kRate), 880, 3);

    ToneRenderer renderer(0);
    std::vector<ToneEvent> events = {on(100, 0)};
    for (int i = 0; i < 6; ++i)
        events.push_back(alert(i % 2 ? Kind::Beep : Kind::Question, 0));
    renderer.add(events);
    const auto samples = renderChunked(renderer, 300 * kPerMs, {240});
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_EQ(*high, 32767);
    EXPECT_EQ(*low, -32767);
}

// Posted events reach the audio thread in order; when nothing takes them (no
// sound server) they do not pile up, and the speaker's last state survives.
TEST(ToneEventQueue, KeepsOrderAndStaysBoundedWithoutAReader)
{
    sound::ToneEventQueue queue;
    queue.post(on(400, 1));
    queue.post(alert(Kind::Beep, 2));
    std::vector<ToneEvent> taken;
    queue.takeInto(taken);
    EXPECT_EQ(taken, (std::vector<ToneEvent>{on(400, 1), alert(Kind::Beep, 2)}));
    EXPECT_EQ(queue.size(), 0u);

    for (int i = 0; i < 10000; ++i) {
        queue.post(on(400 + i, i));
        queue.post(alert(Kind::Beep, i));
    }
    EXPECT_LE(queue.size(), sound::ToneEventQueue::kLimit);
    taken.clear();
    queue.takeInto(taken);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back(), alert(Kind::Beep, 9999));
    const auto lastTone = std::find_if(taken.rbegin(), taken.rend(),
                                       [](const ToneEvent& e) { return e.changesTone(); });
    ASSERT_NE(lastTone, taken.rend());
    EXPECT_EQ(*lastTone, on(400 + 9999, 9999));
}

// The chunks follow each other: wobbles of the server's latency figure only
// nudge the count, a jump or an underrun restarts it.
TEST(PlaybackTiming, ChunksFollowOnAndJumpsResync)
{
    sound::PlaybackTiming timing(kRate);
    const double ms = kMillisecond;
    const double slack = 0.2 * ms;
    EXPECT_EQ(timing.startChunk(1000 * ms, 20 * ms, 240), 1020 * ms);
    // 5 ms later the figure is 3 ms off: the count holds.
    EXPECT_NEAR(timing.startChunk(1005 * ms, 23 * ms, 240), 1025 * ms, slack);
    // A request 12 ms late changes nothing of where the chunks lie.
    EXPECT_NEAR(timing.startChunk(1017 * ms, 13 * ms, 240), 1030 * ms, slack);
    // The figure 25 ms off: the stream jumped, start from the figure.
    EXPECT_NEAR(timing.startChunk(1020 * ms, 40 * ms, 240), 1060 * ms, slack);
    // After an underrun the figure holds even when near the count.
    EXPECT_NEAR(timing.startChunk(1025 * ms, 33 * ms, 240, true), 1058 * ms, slack);

    // The sound card's clock runs 2 ms ahead over a while: the count follows.
    timing.reset();
    EXPECT_EQ(timing.requiredDelay(), 0);
    Nanoseconds start = 0;
    for (int i = 0; i < 1000; ++i)
        start = timing.startChunk(i * 5 * kMillisecond, 2 * kMillisecond, 240);
    EXPECT_NEAR(start, 999 * 5 * ms + 2 * ms, slack);

    // Weeks of samples: the count must not overflow. Figures 5 ms either side
    // of the truth only nudge a sound count; an overflowed one would restart
    // from each figure in turn.
    timing.reset();
    const Nanoseconds thousandSeconds = 1000 * sound::kSecond;
    EXPECT_EQ(timing.startChunk(0, kMillisecond, 48'000'000), kMillisecond);
    for (int i = 1; i <= 2000; ++i) {
        const Nanoseconds wobble = (i % 2 ? 5 : -5) * kMillisecond;
        ASSERT_NEAR(timing.startChunk(i * thousandSeconds, kMillisecond + wobble, 48'000'000),
                    i * thousandSeconds + kMillisecond, 0.5 * ms);
    }
}

// An event asked just after one request is first taken by the next and heard
// at its start, the previous chunk's length after that request was heard: the
// delay covers that for the usual requests. One large request alone (the
// server catching up after a busy moment), or a stall of seconds, does not
// set the delay of every tone to come; a second large one does.
TEST(PlaybackTiming, RequiredDelayFollowsTheRhythmNotItsOneOffs)
{
    sound::PlaybackTiming timing(kRate);
    const Nanoseconds ms = kMillisecond;
    Nanoseconds now = 1000 * ms;
    Nanoseconds previousChunk = 0;
    // The server asks whenever it has played the previous chunk; 15 ms queued.
    const auto request = [&](Nanoseconds pause, std::int64_t frames) {
        now += previousChunk + pause;
        timing.startChunk(now, 15 * ms, frames);
        previousChunk = frames * sound::kSecond / kRate;
    };
    request(0, 240);
    EXPECT_EQ(timing.requiredDelay(), 15 * ms);
    for (int i = 0; i < 10; ++i)
        request(0, 240);
    EXPECT_EQ(timing.requiredDelay(), 20 * ms);
    request(0, 960);
    request(0, 240);
    EXPECT_EQ(timing.requiredDelay(), 20 * ms);
    request(3 * sound::kSecond, 240); // a stall: the count starts afresh
    EXPECT_EQ(timing.requiredDelay(), 20 * ms);
    request(0, 960);
    request(0, 240);
    EXPECT_EQ(timing.requiredDelay(), 35 * ms);
}

} // namespace
