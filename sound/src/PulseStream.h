#pragma once

// One playback stream to the desktop's sound server (PulseAudio, or PipeWire
// through its PulseAudio service), open for the whole run and fed on the
// server's request from its own thread. Without a server, or after the
// server or the device went away, it tries again every second and asks
// nothing of the GUI thread meanwhile.

#include "sound/ToneEvents.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;
struct pa_mainloop_api;
struct timeval;

namespace sound {

struct ChunkRequest {
    std::span<std::int16_t> samples; // to be filled, mono, at the stream's rate
    Nanoseconds now = 0;             // when the server asked
    Nanoseconds latency = 0;         // until the first of them is heard
    bool firstOfStream = false;      // a new stream: earlier timing no longer holds
    bool afterUnderrun = false;      // the server ran dry: the stream paused meanwhile
};

class PulseStream {
public:
    using Fill = std::function<void(const ChunkRequest&)>;

    // `fill` runs on the stream's own thread.
    PulseStream(int sampleRate, Fill fill);
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // The stream is open and the server takes its samples.
    bool streaming() const { return m_streaming.load(); }

private:
    static void contextStateChanged(pa_context* context, void* self);
    static void streamStateChanged(pa_stream* stream, void* self);
    static void writeRequested(pa_stream* stream, std::size_t bytes, void* self);
    static void underflowed(pa_stream* stream, void* self);
    static void retryDue(pa_mainloop_api* api, pa_time_event* event, const timeval* tv, void* self);

    void connect();
    void openStream();
    void dropStream();
    void dropContext();
    void retryLater();
    void write(std::size_t bytes);
    Nanoseconds latency();

    int m_sampleRate;
    Fill m_fill;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    pa_time_event* m_retry = nullptr;
    std::atomic<bool> m_streaming{false};
    bool m_firstChunk = true;
    bool m_priorityTried = false;
    bool m_underflow = false;
};

} // namespace sound
