#pragma once

// A PulseAudio server of the test's own: a private runtime folder and socket,
// one null sink whose monitor records exactly what was played, no autospawn,
// no exit when idle. Runs as root too (user mode, which the server only warns
// about), so it works in a CI container.
//
// PELMIR_TEST_PULSE_SERVER (a server string) and PELMIR_TEST_PULSE_SINK (a
// sink of one channel at 48 kHz) measure against a server started elsewhere
// instead, such as PipeWire's PulseAudio service; the tests that stop the
// server or remove the sink then skip.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace soundtest {

class PulseTestServer {
public:
    static constexpr const char* kOwnSink = "pelmir_test";
    static constexpr int kSampleRate = 48000;

    PulseTestServer();
    ~PulseTestServer();

    // Starts the server and waits until it answers; false (with why()) if it cannot.
    bool start();
    // Kills it at once, as a crash would.
    void kill();
    bool running() const;
    // A server of the test's own (not one named by the environment).
    bool own() const { return m_external.isEmpty(); }
    QString why() const { return m_why; }

    QString serverString() const; // "unix:/.../native", for PULSE_SERVER
    QString monitor() const { return m_sink + QStringLiteral(".monitor"); }

    // pactl against this server; its output, or an empty string on failure.
    QString pactl(const QStringList& arguments) const;
    // The sink can vanish and come back, like an unplugged device.
    bool unloadSink();
    bool loadSink();

private:
    QString socketPath() const;
    QString sinkModuleArguments() const;
    void raiseMainThread();

    QString m_external = qEnvironmentVariable("PELMIR_TEST_PULSE_SERVER");
    QString m_sink =
        own() ? QString::fromLatin1(kOwnSink) : qEnvironmentVariable("PELMIR_TEST_PULSE_SINK");
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_why;
};

} // namespace soundtest
