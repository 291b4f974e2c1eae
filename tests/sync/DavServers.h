#pragma once

// Radicale and Xandikos from the distribution, started on 127.0.0.1 on a
// free port with a temporary storage folder, once per test run, and stopped
// at its end. No test talks to any other address.

#include <QString>
#include <QUrl>

enum class ServerKind { Radicale, Xandikos };

struct DavServer {
    ServerKind kind;
    QUrl url;         // http://127.0.0.1:PORT/
    QString user;     // Radicale checks it; Xandikos takes anyone
    QString password;
    QString storage;  // the server's folder
};

// nullptr (and why) when the server's program is not installed or does not start.
const DavServer* davServer(ServerKind kind, QString* why, bool* installed);

// Stops them (the tests' end does it by itself).
void stopDavServers();

// A loopback port nothing listens on now.
int freePort();

// Runs a program to its end; its exit code, its output in `output`.
int runTool(const QString& program, const QStringList& arguments, const QString& workDir, QString* output,
            const QByteArray& input = {}, const QStringList& environment = {});
