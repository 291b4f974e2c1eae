#pragma once

// Records a sink's monitor through its own connection to the server, and
// notes for each chunk when its first sample was played, so that a sound in
// the recording can be put beside the call that asked for it.

#include "sound/ToneEvents.h"

#include <QString>

#include <cstdint>
#include <mutex>
#include <vector>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace soundtest {

class MonitorRecorder {
public:
    MonitorRecorder() = default;
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Connects and waits until the recording runs; false with why() if it does not.
    bool start(const QString& server, const QString& source, int sampleRate);
    void stop();
    QString why() const { return m_why; }

    std::vector<std::int16_t> samples() const;
    // Drops what was recorded so far: a test starts its record once the
    // server's streams have settled (a null sink stalls when a stream joins).
    void forget();

    // When the sample at `index` was played, on the steady clock. The
    // record has no gaps, so one origin holds for all of it: the server's
    // timing of its last chunks (its figures for the first ones are still
    // being smoothed towards the truth, by up to half a second).
    sound::Nanoseconds playedAt(std::int64_t index) const;

private:
    struct Stamp {
        std::int64_t firstIndex;
        sound::Nanoseconds firstPlayedAt;
    };
    static void contextState(pa_context* context, void* self);
    static void streamState(pa_stream* stream, void* self);
    static void readable(pa_stream* stream, std::size_t bytes, void* self);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    QString m_source;
    int m_sampleRate = 0;
    bool m_failed = false;
    QString m_why;

    mutable std::mutex m_mutex;
    std::vector<std::int16_t> m_samples;
    std::vector<Stamp> m_stamps;
};

} // namespace soundtest
