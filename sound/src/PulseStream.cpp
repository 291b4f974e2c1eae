#include "PulseStream.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <cstdlib>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace sound {

namespace {

const char* const kApplicationName = "Pelmir a telefony";
const char* const kStreamName = "Tóny a upozornění";

// What the stream asks of the server: about 25 ms queued and a new request
// every 5 ms keep a tone within 30 ms of its action, with room for the
// thread to be a little late on a busy machine.
constexpr pa_usec_t kTargetLatency = 20 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kRequestSize = 5 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kRetryAfter = 1 * PA_USEC_PER_SEC;
// Where the system lets a program raise its priority, the samples come on
// time on a busy machine too: a real-time priority just below the sound
// server's own (5), else the nice level the server takes without one.
constexpr int kAudioRealtimePriority = 3;
constexpr int kAudioNiceLevel = -11;

// On the calling thread, which only ever makes samples for a few
// microseconds at a time. Refused (most users may do neither) changes nothing.
void raiseThreadPriority()
{
    sched_param parameter{};
    parameter.sched_priority = kAudioRealtimePriority;
    // A child process started from this thread must not inherit the priority.
    if (sched_setscheduler(0, SCHED_RR | SCHED_RESET_ON_FORK, &parameter) == 0)
        return;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kAudioNiceLevel);
}

} // namespace

PulseStream::PulseStream(int sampleRate, Fill fill)
    : m_sampleRate(sampleRate), m_fill(std::move(fill))
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return;
    pa_threaded_mainloop_set_name(m_loop, "pelmir-tones");
    // The thread is not running yet: no lock needed to set things up.
    connect();
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        dropStream();
        dropContext();
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
}

PulseStream::~PulseStream()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_retry) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_retry);
        m_retry = nullptr;
    }
    dropStream();
    dropContext();
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseStream::connect()
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, kApplicationName);
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "pelmir");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), kApplicationName,
                                             properties);
    pa_proplist_free(properties);
    if (!m_context) {
        retryLater();
        return;
    }
    pa_context_set_state_callback(m_context, &PulseStream::contextStateChanged, this);
    // No autospawn: a desktop has its server running (or socket-activated);
    // starting one of our own would only hide that there is none.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        dropContext();
        retryLater();
    }
}

void PulseStream::contextStateChanged(pa_context* context, void* self)
{
    auto* stream = static_cast<PulseStream*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        stream->openStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        stream->dropStream();
        stream->dropContext();
        stream->retryLater();
        break;
    default:
        break;
    }
}

void PulseStream::openStream()
{
    const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(m_sampleRate), 1};
    pa_proplist* properties = pa_proplist_new();
    // Event sounds: the desktop's mixer shows and routes them as such.
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "event");
    m_stream = pa_stream_new_with_proplist(m_context, kStreamName, &spec, nullptr, properties);
    pa_proplist_free(properties);
    if (!m_stream) {
        retryLater();
        return;
    }
    pa_stream_set_state_callback(m_stream, &PulseStream::streamStateChanged, this);
    pa_stream_set_write_callback(m_stream, &PulseStream::writeRequested, this);
    pa_stream_set_underflow_callback(m_stream, &PulseStream::underflowed, this);

    pa_buffer_attr attributes;
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatency, &spec));
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(kRequestSize, &spec));
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(m_stream, nullptr, &attributes, flags, nullptr, nullptr) < 0) {
        dropStream();
        retryLater();
    }
}

void PulseStream::streamStateChanged(pa_stream* s, void* self)
{
    auto* stream = static_cast<PulseStream*>(self);
    switch (pa_stream_get_state(s)) {
    case PA_STREAM_READY:
        stream->m_firstChunk = true;
        stream->m_streaming = true;
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The device went away with no other to move to, or the server is
        // going; a lost server is retried by the context's own failure.
        stream->dropStream();
        if (stream->m_context && pa_context_get_state(stream->m_context) == PA_CONTEXT_READY)
            stream->retryLater();
        break;
    default:
        break;
    }
}

void PulseStream::writeRequested(pa_stream*, std::size_t bytes, void* self)
{
    static_cast<PulseStream*>(self)->write(bytes);
}

void PulseStream::underflowed(pa_stream*, void* self)
{
    static_cast<PulseStream*>(self)->m_underflow = true;
}

Nanoseconds PulseStream::latency()
{
    pa_usec_t usec = 0;
    int negative = 0;
    if (pa_stream_get_latency(m_stream, &usec, &negative) == 0) {
        const auto ns = static_cast<Nanoseconds>(usec) * 1000;
        return negative ? -ns : ns;
    }
    // No timing from the server yet: the queue the stream asked for.
    return static_cast<Nanoseconds>(kTargetLatency) * 1000;
}

void PulseStream::write(std::size_t bytes)
{
    if (!m_priorityTried) {
        m_priorityTried = true;
        raiseThreadPriority();
    }
    while (bytes >= sizeof(std::int16_t) && m_stream) {
        void* data = nullptr;
        std::size_t size = bytes;
        if (pa_stream_begin_write(m_stream, &data, &size) < 0 || !data ||
            size < sizeof(std::int16_t))
            return;
        size -= size % sizeof(std::int16_t);
        ChunkRequest request;
        request.samples = {static_cast<std::int16_t*>(data), size / sizeof(std::int16_t)};
        request.now = steadyNow();
        request.latency = latency();
        request.firstOfStream = m_firstChunk;
        request.afterUnderrun = m_underflow;
        m_firstChunk = false;
        m_underflow = false;
        m_fill(request);
        if (pa_stream_write(m_stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= size;
    }
}

void PulseStream::retryLater()
{
    if (m_retry || !m_loop)
        return;
    timeval when;
    pa_timeval_add(pa_gettimeofday(&when), kRetryAfter);
    m_retry = pa_threaded_mainloop_get_api(m_loop)->time_new(pa_threaded_mainloop_get_api(m_loop),
                                                             &when, &PulseStream::retryDue, this);
}

void PulseStream::retryDue(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self)
{
    auto* stream = static_cast<PulseStream*>(self);
    api->time_free(event);
    stream->m_retry = nullptr;
    if (!stream->m_context)
        stream->connect();
    else if (!stream->m_stream && pa_context_get_state(stream->m_context) == PA_CONTEXT_READY)
        stream->openStream();
}

void PulseStream::dropStream()
{
    m_streaming = false;
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
    if (pa_stream_get_state(m_stream) == PA_STREAM_READY)
        pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulseStream::dropContext()
{
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    const pa_context_state_t state = pa_context_get_state(m_context);
    if (state != PA_CONTEXT_FAILED && state != PA_CONTEXT_TERMINATED)
        pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

} // namespace sound
