#include "sound/AudioToneOutput.h"

#include "PulseStream.h"
#include "sound/PlaybackTiming.h"
#include "sound/ToneRenderer.h"

#include <QApplication>

#include <atomic>
#include <vector>

#ifdef PELMIR_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace sound {

namespace {

#ifdef PELMIR_HAVE_CANBERRA
// One context for the whole run, made on the first alert and never destroyed:
// destroying one unloads its sound driver while the driver's thread may still
// run, which crashes the next context's user.
ca_context* canberraContext()
{
    static ca_context* context = [] {
        ca_context* made = nullptr;
        if (ca_context_create(&made) != CA_SUCCESS)
            return static_cast<ca_context*>(nullptr);
        ca_context_change_props(made, CA_PROP_APPLICATION_NAME, "Pelmir a telefony", nullptr);
        return made;
    }();
    return context;
}
#endif

// Without our stream (no sound server): the desktop's own event sound, which
// may still reach a sound card directly, else the window system's bell.
void fallbackAlert(std::initializer_list<const char*> eventIds)
{
#ifdef PELMIR_HAVE_CANBERRA
    // After a failure the event sound is left alone for a while: the world
    // clock beeps every second, and each failed try costs a device search
    // (and the sound library's complaints on the terminal).
    static Nanoseconds failedAt = 0;
    static bool failed = false;
    const Nanoseconds now = steadyNow();
    if (!failed || now - failedAt > 30 * kSecond) {
        if (ca_context* canberra = canberraContext()) {
            for (const char* id : eventIds) {
                if (ca_context_play(canberra, 0, CA_PROP_EVENT_ID, id, nullptr) == CA_SUCCESS) {
                    failed = false;
                    return;
                }
            }
        }
        failed = true;
        failedAt = now;
    }
#else
    static_cast<void>(eventIds);
#endif
    QApplication::beep();
}

} // namespace

struct AudioToneOutput::Private {
    ToneEventQueue queue;
    int hertz = 0; // GUI thread

    // Audio thread only.
    ToneRenderer renderer;
    PlaybackTiming timing{ToneRenderer::kSampleRate};
    std::vector<ToneEvent> taken;

    std::atomic<qint64> generated{0};
    std::atomic<qint64> late{0};
    std::atomic<qint64> underruns{0};
    std::atomic<Nanoseconds> longestDelay{0};

    // Declared last: its thread calls fill() until it is destroyed, first.
    std::unique_ptr<PulseStream> stream;

    void fill(const ChunkRequest& request)
    {
        if (request.firstOfStream)
            timing.reset();
        if (request.afterUnderrun)
            ++underruns;
        queue.takeInto(taken);
        renderer.add(taken);
        taken.clear();
        const auto frames = static_cast<std::int64_t>(request.samples.size());
        const Nanoseconds start =
            timing.startChunk(request.now, request.latency, frames, request.afterUnderrun);
        renderer.adjustDelay(timing.requiredDelay(), start);
        renderer.render(request.samples, start);
        generated += frames;
        late = renderer.lateEvents();
        Nanoseconds longest = longestDelay;
        while (renderer.delay() > longest &&
               !longestDelay.compare_exchange_weak(longest, renderer.delay())) {
        }
    }

    void post(ToneEvent::Kind kind, int hz) { queue.post({kind, hz, steadyNow()}); }
};

AudioToneOutput::AudioToneOutput() : d(std::make_unique<Private>())
{
    d->stream = std::make_unique<PulseStream>(ToneRenderer::kSampleRate,
                                              [this](const ChunkRequest& r) { d->fill(r); });
}

AudioToneOutput::~AudioToneOutput()
{
    d->stream.reset();
}

void AudioToneOutput::toneOn(int hertz)
{
    if (hertz <= 0) {
        toneOff();
        return;
    }
    d->hertz = hertz;
    d->post(ToneEvent::Kind::ToneOn, hertz);
}

void AudioToneOutput::toneOff()
{
    d->hertz = 0;
    d->post(ToneEvent::Kind::ToneOff, 0);
}

void AudioToneOutput::beep()
{
    if (d->stream->streaming())
        d->post(ToneEvent::Kind::Beep, 0);
    else
        fallbackAlert({"bell"});
}

void AudioToneOutput::questionSound()
{
    if (d->stream->streaming())
        d->post(ToneEvent::Kind::Question, 0);
    else
        fallbackAlert({"dialog-question", "window-question"});
}

bool AudioToneOutput::hasAudioDevice() const
{
    return d->stream->streaming();
}

int AudioToneOutput::frequency() const
{
    return d->hertz;
}

qint64 AudioToneOutput::samplesGenerated() const
{
    return d->generated;
}

qint64 AudioToneOutput::lateEvents() const
{
    return d->late;
}

qint64 AudioToneOutput::underruns() const
{
    return d->underruns;
}

double AudioToneOutput::longestDelayMs() const
{
    return static_cast<double>(d->longestDelay) / kMillisecond;
}

void AudioToneOutput::resetLongestDelay()
{
    d->longestDelay = 0;
}

} // namespace sound
