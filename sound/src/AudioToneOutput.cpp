#include "sound/AudioToneOutput.h"

#include "sound/SquareWave.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>

#ifdef PELMIR_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace sound {

namespace {
// Keep the stream open between the tones of a melody; close it when quiet.
constexpr int closeAfterSilenceMs = 2000;
// About 40 ms of sound in the buffer: short enough for a 50 ms tone to start
// and stop on time.
constexpr int bufferBytes = SquareWave::sampleRate * 2 * 40 / 1000;

const char* const bellEvent = "bell";
const char* const questionEvent = "dialog-question";

#ifdef PELMIR_HAVE_CANBERRA
// One context for the whole run, made on the first alert and never destroyed:
// destroying one unloads its sound-server driver while the driver's thread may
// still run, which crashes the next context's user.
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
} // namespace

struct AudioToneOutput::Private {
    SquareWave wave;
    std::unique_ptr<QAudioSink> sink;
    QTimer closeTimer;

    // The desktop's alert sound; the toolkit's beep where that cannot play.
    void alert(const char* eventId)
    {
#ifdef PELMIR_HAVE_CANBERRA
        ca_context* canberra = canberraContext();
        if (canberra &&
            ca_context_play(canberra, 0, CA_PROP_EVENT_ID, eventId, nullptr) == CA_SUCCESS)
            return;
#else
        static_cast<void>(eventId);
#endif
        QApplication::beep();
    }
};

AudioToneOutput::AudioToneOutput() : d(std::make_unique<Private>())
{
    d->wave.open(QIODevice::ReadOnly);
    d->closeTimer.setSingleShot(true);
    d->closeTimer.setInterval(closeAfterSilenceMs);
    QObject::connect(&d->closeTimer, &QTimer::timeout, [this] {
        if (d->sink)
            d->sink->stop();
    });

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull()) {
        QAudioFormat format;
        format.setSampleRate(SquareWave::sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (device.isFormatSupported(format)) {
            d->sink = std::make_unique<QAudioSink>(device, format);
            d->sink->setBufferSize(bufferBytes);
        }
    }
}

AudioToneOutput::~AudioToneOutput()
{
    if (d->sink)
        d->sink->stop();
}

void AudioToneOutput::toneOn(int hertz)
{
    d->wave.setFrequency(hertz > 0 ? hertz : 0);
    d->closeTimer.stop();
    if (d->sink && d->sink->state() != QAudio::ActiveState) {
        if (d->sink->state() == QAudio::SuspendedState)
            d->sink->resume();
        else
            d->sink->start(&d->wave);
    }
}

void AudioToneOutput::toneOff()
{
    d->wave.setFrequency(0);
    if (d->sink && d->sink->state() == QAudio::ActiveState)
        d->closeTimer.start();
}

void AudioToneOutput::beep()
{
    d->alert(bellEvent);
}

void AudioToneOutput::questionSound()
{
    d->alert(questionEvent);
}

bool AudioToneOutput::hasAudioDevice() const
{
    return d->sink != nullptr;
}

int AudioToneOutput::frequency() const
{
    return d->wave.frequency();
}

qint64 AudioToneOutput::samplesGenerated() const
{
    return d->wave.samplesGenerated();
}

} // namespace sound
