// The first sync of many contacts with a Radicale on 127.0.0.1 and a sync
// with nothing changed, with the requests each made; beside vdirsyncer
// uploading the same number of cards to another address book of the same
// server in the same run. Not run by ctest.
//   sync_bench [COUNT]              (default 10000)
//   sync_bench --download [COUNT]   the cards are on the server and the book here
//                                   is empty (a phone's contacts on a new machine);
//                                   the reference is vdirsyncer downloading them
// Uploads are bounded by the server: Radicale reads the whole collection for
// every PUT, so an upload of 10,000 cards takes hours whatever the client does.

#include "DavServers.h"

#include "sync/ContactsSide.h"
#include "sync/QtTransport.h"
#include "sync/SyncSession.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace davsync;

namespace {

class Counting : public Transport {
public:
    explicit Counting(Transport& inner) : m_inner(inner) {}
    HttpResponse send(const HttpRequest& request) override
    {
        ++count;
        return m_inner.send(request);
    }
    int count = 0;

private:
    Transport& m_inner;
};

class Nobody : public SyncDecisions {
    bool confirmPairs(const LocalSide&, const std::vector<Pair>&) override { return true; }
    std::vector<Choice> resolve(const LocalSide&, const std::vector<Conflict>& c) override
    {
        return std::vector<Choice>(c.size(), Choice::Server);
    }
};

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
                                          : QStringLiteral("?");
}

// vdirsyncer without the tests' two-minute limit: at 10,000 cards on a busy
// machine it needs longer, and a cut run times nothing.
int vdirsyncer(const QStringList& arguments, const QString& workDir, const QByteArray& input = {})
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral("vdirsyncer"), arguments);
    if (!process.waitForStarted(10000))
        return -1;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(3600 * 1000)) {
        process.kill();
        process.waitForFinished();
        return -2;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
}

void writeCard(const QString& path, const QString& uid, int i)
{
    QFile card(path);
    card.open(QIODevice::WriteOnly);
    card.write(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:Příjmení %2;Jan;;;\r\nFN:Jan Příjmení %2\r\n"
                              "TEL:602 123 456\r\nNOTE:poznámka\r\nEND:VCARD\r\n")
                   .arg(uid)
                   .arg(i, 6, 10, QLatin1Char('0'))
                   .toUtf8());
}

void summary(const char* what, std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    std::printf("%-44s min %8.3f s  median %8.3f s  max %8.3f s\n", what, seconds.front(),
                seconds[seconds.size() / 2], seconds.back());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool download = arguments.removeAll(QStringLiteral("--download")) > 0;
    const int count = arguments.isEmpty() ? 10000 : arguments.first().toInt();
    QString why;
    bool installed = false;
    const DavServer* server = davServer(ServerKind::Radicale, &why, &installed);
    if (!server) {
        std::fprintf(stderr, "radicale: %s\n", qPrintable(why));
        return 1;
    }
    std::printf("%d contacts %s, Radicale on 127.0.0.1, load before: %s\n", count,
                download ? "on the server, none here" : "here, none on the server", qPrintable(loadAverage()));

    QTemporaryDir work;
    tools::makeDataDir(tools::sourceSeedsDir(), work.path().toStdString());
    store::Database database(std::filesystem::path(work.path().toStdString()) / "Data");
    database.registerPassword(store::dataTablesPassword());
    if (!download) {
        store::Cursor cursor(database, "Dat.DB");
        cursor.open();
        std::vector<store::Cursor::RecordWrite> writes;
        for (int i = 0; i < count; ++i)
            writes.push_back({std::nullopt,
                              {QStringLiteral("Příjmení %1").arg(i, 6, 10, QLatin1Char('0')).toStdString(), "Jan",
                               "Dlouhá 5, 110 00 Praha 1", "602 123 456", "poznámka"}});
        cursor.writeRecords(writes);
    }

    QtTransport network(server->user, server->password);
    Counting counted(network);
    DavClient client(counted, server->url);
    const Collection book = chooseCollection(client, CollectionKind::AddressBook, {}, QStringLiteral("Bench"), {});
    if (download) {
        // Written into the server's folder, as if a phone had uploaded them long ago.
        const QString folder = server->storage + QStringLiteral("/collection-root") + book.path;
        for (int i = 0; i < count; ++i)
            writeCard(folder + QStringLiteral("/phone-%1.vcf").arg(i), QStringLiteral("phone-%1").arg(i), i);
    }
    ContactsSide side(database);
    Nobody nobody;
    SyncEngine engine(client, side, database, book, nobody);

    counted.count = 0;
    QElapsedTimer timer;
    timer.start();
    engine.run();
    const double first = static_cast<double>(timer.elapsed()) / 1000;
    {
        store::Cursor cursor(database, "Dat.DB");
        cursor.open();
        std::printf("first sync: %.1f s, %d requests, %d records here\n", first, counted.count, cursor.recordCount());
    }
    std::vector<double> idle;
    for (int round = 0; round < 5; ++round) {
        counted.count = 0;
        timer.start();
        engine.run();
        idle.push_back(static_cast<double>(timer.elapsed()) / 1000);
        std::printf("no-change sync: %d request(s)\n", counted.count);
    }
    summary("no-change sync (5 runs)", idle);

    // The reference: vdirsyncer uploading the same number of cards.
    QTemporaryDir peer;
    QDir(peer.path()).mkpath(QStringLiteral("cards"));
    QDir(peer.path()).mkpath(QStringLiteral("status"));
    if (!download) {
        for (int i = 0; i < count; ++i)
            writeCard(peer.filePath(QStringLiteral("cards/ref-%1.vcf").arg(i)), QStringLiteral("ref-%1").arg(i), i);
    }
    // Downloading, the reference reads the same collection as the program did.
    const Collection refBook =
        download ? book : client.create(CollectionKind::AddressBook, QStringLiteral("Reference"));
    QFile config(peer.filePath(QStringLiteral("config")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n[pair p]\na = \"l\"\nb = \"r\"\ncollections = null\n"
                                "[storage l]\ntype = \"filesystem\"\npath = \"%1/cards/\"\nfileext = \".vcf\"\n"
                                "[storage r]\ntype = \"carddav\"\nurl = \"%2\"\nusername = \"%3\"\npassword = \"%4\"\n")
                     .arg(peer.path(), client.urlOf(refBook.path).toString(), server->user, server->password)
                     .toUtf8());
    config.close();
    const QStringList configArgs{QStringLiteral("-c"), peer.filePath(QStringLiteral("config"))};
    vdirsyncer(configArgs + QStringList{QStringLiteral("discover")}, peer.path(), "y\n");
    timer.start();
    const int code = vdirsyncer(configArgs + QStringList{QStringLiteral("sync")}, peer.path());
    std::printf("vdirsyncer first %s: %.1f s (exit %d)\n", download ? "download" : "upload",
                static_cast<double>(timer.elapsed()) / 1000, code);
    std::vector<double> refIdle;
    for (int round = 0; round < 5; ++round) {
        timer.start();
        vdirsyncer(configArgs + QStringList{QStringLiteral("sync")}, peer.path());
        refIdle.push_back(static_cast<double>(timer.elapsed()) / 1000);
    }
    summary("vdirsyncer no-change sync (5 runs)", refIdle);
    std::printf("load after: %s\n", qPrintable(loadAverage()));
    stopDavServers();
    return 0;
}
