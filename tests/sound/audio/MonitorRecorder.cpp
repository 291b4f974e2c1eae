#include "MonitorRecorder.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace soundtest {

MonitorRecorder::~MonitorRecorder()
{
    stop();
}

bool MonitorRecorder::start(const QString& server, const QString& source, int sampleRate)
{
    m_source = source;
    m_sampleRate = sampleRate;
    m_loop = pa_threaded_mainloop_new();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "pelmir-test-recorder");
    pa_context_set_state_callback(m_context, &MonitorRecorder::contextState, this);
    const QByteArray serverName = server.toUtf8();
    if (pa_context_connect(m_context, serverName.constData(), PA_CONTEXT_NOAUTOSPAWN, nullptr) <
        0) {
        m_why = QStringLiteral("recorder cannot connect");
        return false;
    }
    pa_threaded_mainloop_start(m_loop);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        pa_threaded_mainloop_lock(m_loop);
        const bool ready = m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY;
        const bool failed = m_failed;
        pa_threaded_mainloop_unlock(m_loop);
        if (ready)
            return true;
        if (failed)
            break;
        QThread::msleep(10);
    }
    m_why = QStringLiteral("recording did not start");
    return false;
}

void MonitorRecorder::contextState(pa_context* context, void* self)
{
    auto* recorder = static_cast<MonitorRecorder*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        const pa_sample_spec spec{PA_SAMPLE_S16NE,
                                  static_cast<std::uint32_t>(recorder->m_sampleRate), 1};
        recorder->m_stream = pa_stream_new(context, "monitor", &spec, nullptr);
        pa_stream_set_state_callback(recorder->m_stream, &MonitorRecorder::streamState, recorder);
        pa_stream_set_read_callback(recorder->m_stream, &MonitorRecorder::readable, recorder);
        pa_buffer_attr attributes;
        attributes.maxlength = static_cast<std::uint32_t>(-1);
        attributes.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(5000, &spec));
        attributes.tlength = attributes.prebuf = attributes.minreq = static_cast<std::uint32_t>(-1);
        const QByteArray source = recorder->m_source.toUtf8();
        pa_stream_connect_record(recorder->m_stream, source.constData(), &attributes,
                                 static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY |
                                                                PA_STREAM_INTERPOLATE_TIMING |
                                                                PA_STREAM_AUTO_TIMING_UPDATE));
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        recorder->m_failed = true;
        break;
    default:
        break;
    }
}

void MonitorRecorder::streamState(pa_stream* stream, void* self)
{
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
        static_cast<MonitorRecorder*>(self)->m_failed = true;
}

void MonitorRecorder::readable(pa_stream* stream, std::size_t, void* self)
{
    auto* recorder = static_cast<MonitorRecorder*>(self);
    for (;;) {
        const sound::Nanoseconds now = sound::steadyNow();
        pa_usec_t latency = 0;
        int negative = 0;
        const bool timed = pa_stream_get_latency(stream, &latency, &negative) == 0;
        const void* data = nullptr;
        std::size_t size = 0;
        if (pa_stream_peek(stream, &data, &size) < 0 || size == 0)
            return;
        const std::size_t count = size / sizeof(std::int16_t);
        {
            const std::lock_guard lock(recorder->m_mutex);
            const auto first = static_cast<std::int64_t>(recorder->m_samples.size());
            if (data) {
                const auto* samples = static_cast<const std::int16_t*>(data);
                recorder->m_samples.insert(recorder->m_samples.end(), samples, samples + count);
            } else {
                recorder->m_samples.insert(recorder->m_samples.end(), count, 0); // a hole
            }
            if (timed) {
                // The latency reaches back to the first sample not yet read.
                const auto ns = static_cast<sound::Nanoseconds>(latency) * 1000;
                recorder->m_stamps.push_back({first, now - (negative ? -ns : ns)});
            }
        }
        pa_stream_drop(stream);
    }
}

void MonitorRecorder::stop()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_stream) {
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

void MonitorRecorder::forget()
{
    const std::lock_guard lock(m_mutex);
    m_samples.clear();
    m_stamps.clear();
}

std::vector<std::int16_t> MonitorRecorder::samples() const
{
    const std::lock_guard lock(m_mutex);
    return m_samples;
}

sound::Nanoseconds MonitorRecorder::playedAt(std::int64_t index) const
{
    const std::lock_guard lock(m_mutex);
    constexpr std::size_t kLast = 40; // 200 ms
    std::vector<sound::Nanoseconds> origins;
    for (auto s = m_stamps.size() > kLast ? m_stamps.end() - kLast : m_stamps.begin();
         s != m_stamps.end(); ++s)
        origins.push_back(s->firstPlayedAt - s->firstIndex * sound::kSecond / m_sampleRate);
    if (origins.empty())
        return 0;
    std::nth_element(origins.begin(), origins.begin() + static_cast<long>(origins.size() / 2),
                     origins.end());
    return origins[origins.size() / 2] + index * sound::kSecond / m_sampleRate;
}

} // namespace soundtest
