#include "PulseTestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

namespace soundtest {

PulseTestServer::PulseTestServer() = default;

PulseTestServer::~PulseTestServer()
{
    kill();
}

QString PulseTestServer::socketPath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("runtime/native"));
}

QString PulseTestServer::serverString() const
{
    return own() ? QStringLiteral("unix:") + socketPath() : m_external;
}

QString PulseTestServer::sinkModuleArguments() const
{
    // The monitor gives the stream's own samples back: same format, rate and
    // channel count as the tone output, so nothing is resampled or mixed.
    return QStringLiteral("sink_name=%1 format=s16le rate=%2 channels=1")
        .arg(m_sink)
        .arg(kSampleRate);
}

bool PulseTestServer::start()
{
    if (!own()) {
        if (m_sink.isEmpty())
            m_why = QStringLiteral("PELMIR_TEST_PULSE_SINK names no sink");
        else if (pactl({QStringLiteral("info")}).isEmpty())
            m_why = QStringLiteral("the server %1 does not answer").arg(m_external);
        else
            return true;
        return false;
    }
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty()) {
        m_why = QStringLiteral("pulseaudio is not installed");
        return false;
    }
    if (!m_dir.isValid()) {
        m_why = QStringLiteral("no temporary folder");
        return false;
    }
    const QDir dir(m_dir.path());
    for (const char* sub : {"runtime", "home", "config"})
        dir.mkpath(QLatin1String(sub));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::remove(socketPath());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.remove(QStringLiteral("PULSE_SERVER"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));

    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(environment);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardOutputFile(dir.filePath(QStringLiteral("server.log")), QIODevice::Append);
    m_process->start(
        program, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                  QStringLiteral("--system=false"), QStringLiteral("--exit-idle-time=-1"),
                  QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-target=stderr"),
                  QStringLiteral("--load=module-null-sink ") + sinkModuleArguments(),
                  QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") +
                      socketPath()});
    if (!m_process->waitForStarted(5000)) {
        m_why = QStringLiteral("pulseaudio did not start: ") + m_process->errorString();
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        if (m_process->state() != QProcess::Running)
            break;
        if (QFile::exists(socketPath()) && !pactl({QStringLiteral("info")}).isEmpty()) {
            raiseMainThread();
            return true;
        }
        QThread::msleep(50);
    }
    QFile log(dir.filePath(QStringLiteral("server.log")));
    log.open(QIODevice::ReadOnly);
    m_why = QStringLiteral("pulseaudio did not answer: ") +
            QString::fromUtf8(log.readAll().right(2000));
    kill();
    return false;
}

void PulseTestServer::raiseMainThread()
{
    // The server's own sound thread runs at a real-time priority; its main
    // thread, which takes the program's samples from the socket, does not.
    // On a machine busy with builds it then falls behind now and then, and the
    // recording says more about the machine than about the program: where
    // the system allows, it gets a real-time priority too (below its sound
    // thread's). Refused, the measurements retry where the output fell behind.
    const QString chrt = QStandardPaths::findExecutable(QStringLiteral("chrt"));
    if (!chrt.isEmpty())
        QProcess::execute(chrt, {QStringLiteral("--rr"), QStringLiteral("-p"), QStringLiteral("4"),
                                 QString::number(m_process->processId())});
}

void PulseTestServer::kill()
{
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    m_process.reset();
}

bool PulseTestServer::running() const
{
    return m_process && m_process->state() == QProcess::Running;
}

QString PulseTestServer::pactl(const QStringList& arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), serverString());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(5000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    const QString output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return output.isEmpty() ? QStringLiteral("ok") : output;
}

bool PulseTestServer::unloadSink()
{
    return !pactl({QStringLiteral("unload-module"), QStringLiteral("module-null-sink")}).isEmpty();
}

bool PulseTestServer::loadSink()
{
    return !pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                   sinkModuleArguments()})
                .isEmpty();
}

} // namespace soundtest
