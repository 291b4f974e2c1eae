#include "DavServers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Running {
    DavServer server;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QProcess> process;
};

std::unique_ptr<Running>& slot(ServerKind kind)
{
    static std::unique_ptr<Running> servers[2];
    return servers[static_cast<int>(kind)];
}

bool answers(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    return socket.waitForConnected(200);
}

// Stops the servers when the run ends.
class ServersEnvironment : public testing::Environment {
public:
    void TearDown() override { stopDavServers(); }
};

[[maybe_unused]] testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new ServersEnvironment);

std::unique_ptr<Running> start(ServerKind kind, QString* why)
{
    const QString program = QStandardPaths::findExecutable(kind == ServerKind::Radicale ? QStringLiteral("radicale")
                                                                                      : QStringLiteral("xandikos"));
    if (program.isEmpty()) {
        *why = kind == ServerKind::Radicale ? QStringLiteral("radicale is not installed")
                                            : QStringLiteral("xandikos is not installed");
        return nullptr;
    }
    auto running = std::make_unique<Running>();
    // In memory where the machine has it: the servers sync every card to disk.
    running->dir = QDir(QStringLiteral("/dev/shm")).exists()
                       ? std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/pelmir-dav-XXXXXX"))
                       : std::make_unique<QTemporaryDir>();
    const QString root = running->dir->path();
    const int port = freePort();
    running->server.kind = kind;
    running->server.url = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    running->server.user = QStringLiteral("anna");
    running->server.password = QStringLiteral("tajné heslo");
    running->server.storage = root + QStringLiteral("/storage");
    QStringList arguments;
    if (kind == ServerKind::Radicale) {
        QFile users(root + QStringLiteral("/users"));
        users.open(QIODevice::WriteOnly);
        users.write("anna:tajné heslo\n");
        users.close();
        QFile config(root + QStringLiteral("/config"));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\nhtpasswd_filename = %2/users\n"
                                    "htpasswd_encryption = plain\n[storage]\nfilesystem_folder = %3\n"
                                    "[logging]\nlevel = warning\n")
                         .arg(port)
                         .arg(root, running->server.storage)
                         .toUtf8());
        config.close();
        arguments = {QStringLiteral("--config"), root + QStringLiteral("/config")};
    } else {
        arguments = {QStringLiteral("-d"), running->server.storage, QStringLiteral("--defaults"), QStringLiteral("-l"),
                     QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port)};
    }
    running->process = std::make_unique<QProcess>();
    running->process->setStandardOutputFile(QProcess::nullDevice());
    running->process->setStandardErrorFile(QProcess::nullDevice());
    running->process->start(program, arguments);
    if (!running->process->waitForStarted(10000)) {
        *why = QStringLiteral("%1 did not start").arg(program);
        return nullptr;
    }
    QElapsedTimer waited;
    waited.start();
    while (!answers(port)) {
        if (waited.elapsed() > 20000 || running->process->state() != QProcess::Running) {
            *why = QStringLiteral("%1 does not answer on port %2").arg(program).arg(port);
            running->process->kill();
            running->process->waitForFinished();
            return nullptr;
        }
        QThread::msleep(100);
    }
    return running;
}

} // namespace

void stopDavServers()
{
    for (ServerKind kind : {ServerKind::Radicale, ServerKind::Xandikos}) {
        std::unique_ptr<Running>& running = slot(kind);
        if (running && running->process) {
            running->process->terminate();
            if (!running->process->waitForFinished(5000))
                running->process->kill();
            running->process->waitForFinished(5000);
        }
        running.reset();
    }
}

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

const DavServer* davServer(ServerKind kind, QString* why, bool* installed)
{
    std::unique_ptr<Running>& running = slot(kind);
    static QString failed[2];
    QString& failure = failed[static_cast<int>(kind)];
    *installed = !QStandardPaths::findExecutable(kind == ServerKind::Radicale ? QStringLiteral("radicale")
                                                                               : QStringLiteral("xandikos"))
                       .isEmpty();
    // A server that would not start is not tried again for every test.
    if (!running && failure.isEmpty())
        running = start(kind, &failure);
    *why = failure;
    return running ? &running->server : nullptr;
}

int runTool(const QString& program, const QStringList& arguments, const QString& workDir, QString* output,
            const QByteArray& input, const QStringList& environment)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!environment.isEmpty()) {
        QStringList env = QProcess::systemEnvironment();
        env.append(environment);
        process.setEnvironment(env);
    }
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return -1;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return -2;
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
}
