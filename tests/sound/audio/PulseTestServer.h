#pragma once

// A PulseAudio server of the test's own: a private runtime folder and socket,
// one null sink whose monitor records exactly what was played, no autospawn,
// no exit when idle. Runs as root too (user mode, which the server only warns
// about), so it works in a CI container.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace soundtest {

class PulseTestServer {
public:
    static constexpr const char* kSink = "pelmir_test";
    static constexpr int kSampleRate = 48000;

    PulseTestServer();
    ~PulseTestServer();

    // Starts the server and waits until it answers; false (with why()) if it cannot.
    bool start();
    // Kills it at once, as a crash would.
    void kill();
    bool running() const;
    QString why() const { return m_why; }

    QString serverString() const; // "unix:/.../native", for PULSE_SERVER
    QString monitor() const { return QStringLiteral("%1.monitor").arg(kSink); }

    // pactl against this server; its output, or an empty string on failure.
    QString pactl(const QStringList& arguments) const;
    // The sink can vanish and come back, like an unplugged device.
    bool unloadSink();
    bool loadSink();

private:
    QString socketPath() const;
    QString sinkModuleArguments() const;
    void raiseMainThread();

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_why;
};

} // namespace soundtest
