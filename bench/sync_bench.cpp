// The first sync of many contacts (or planner days) with a Radicale on
// 127.0.0.1 and a sync with nothing changed, with the requests each made;
// beside vdirsyncer uploading the same number of cards (events) to another
// collection of the same server in the same run. Not run by ctest.
//   sync_bench [COUNT]              (default 10000)
//   sync_bench --download [COUNT]   the cards are on the server and the book here
//                                   is empty (a phone's contacts on a new machine);
//                                   the reference is vdirsyncer downloading them
//   sync_bench --planner ...        the same with planner days and all-day events
//   sync_bench --namedays [RUNS]    the name-day calendar uploaded into a new
//                                   calendar RUNS times (default 3), then a
//                                   no-change upload; beside vdirsyncer
// Uploads are bounded by the server: Radicale reads the whole collection for
// every PUT, so an upload of 10,000 cards takes hours whatever the client does.

#include "DavServers.h"

#include "sync/ContactsSide.h"
#include "sync/NameDayCalendar.h"
#include "sync/NameDayUpload.h"
#include "sync/PlannerSide.h"
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
    const QString log = QDir(workDir).filePath(QStringLiteral("vdirsyncer.log"));
    process.setStandardOutputFile(log);
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
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
    // A failed reference run is no figure: say what it complained of.
    if (code != 0) {
        QFile said(log);
        if (said.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> lines = said.readAll().split('\n');
            int errors = 0;
            for (const QByteArray& line : lines)
                if (line.startsWith("error") && ++errors <= 5)
                    std::printf("  vdirsyncer: %s\n", line.left(300).constData());
            std::printf("  vdirsyncer: %d error lines of %lld\n", errors, static_cast<long long>(lines.size()));
        }
    }
    return code;
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

void writeEvent(const QString& path, const QString& uid, int i)
{
    QFile event(path);
    event.open(QIODevice::WriteOnly);
    const QDate day = QDate(2000, 1, 1).addDays(i);
    event.write(QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//CS\r\nBEGIN:VEVENT\r\nUID:%1\r\n"
                               "DTSTAMP:20261211T090000Z\r\nDTSTART;VALUE=DATE:%2\r\nSUMMARY:Činnost %3\r\n"
                               "END:VEVENT\r\nEND:VCALENDAR\r\n")
                    .arg(uid, day.toString(QStringLiteral("yyyyMMdd")))
                    .arg(i)
                    .toUtf8());
}

void summary(const char* what, std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    std::printf("%-44s min %8.3f s  median %8.3f s  max %8.3f s\n", what, seconds.front(),
                seconds[seconds.size() / 2], seconds.back());
}

// vdirsyncer's settings for a folder "cards" beside a collection; the
// arguments that name them.
QStringList peerConfig(const QString& dir, const QUrl& collection, const DavServer& server, const QString& extension,
                       const QString& type)
{
    QDir(dir).mkpath(QStringLiteral("cards"));
    QDir(dir).mkpath(QStringLiteral("status"));
    QFile config(QDir(dir).filePath(QStringLiteral("config")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n[pair p]\na = \"l\"\nb = \"r\"\ncollections = null\n"
                                "[storage l]\ntype = \"filesystem\"\npath = \"%1/cards/\"\nfileext = \"%5\"\n"
                                "[storage r]\ntype = \"%6\"\nurl = \"%2\"\nusername = \"%3\"\npassword = \"%4\"\n")
                     .arg(dir, collection.toString(), server.user, server.password, extension, type)
                     .toUtf8());
    return {QStringLiteral("-c"), QDir(dir).filePath(QStringLiteral("config"))};
}

// The name-day calendar into a new calendar, RUNS times, and a no-change
// upload; vdirsyncer uploading the same events as files beside it.
int nameDaysBench(int runs)
{
    QString why;
    bool installed = false;
    const DavServer* server = davServer(ServerKind::Radicale, &why, &installed);
    if (!server) {
        std::fprintf(stderr, "radicale: %s\n", qPrintable(why));
        return 1;
    }
    QTemporaryDir work;
    tools::makeDataDir(tools::sourceSeedsDir(), work.path().toStdString());
    store::Database database(std::filesystem::path(work.path().toStdString()) / "Data");
    database.registerPassword(store::dataTablesPassword());
    const std::vector<YearlyEvent> events = nameDayEvents(database);
    std::printf("name-day calendar: %zu events, Radicale on 127.0.0.1, load before: %s\n", events.size(),
                qPrintable(loadAverage()));

    QtTransport network(server->user, server->password);
    Counting counted(network);
    DavClient client(counted, server->url);
    const QDateTime stamp = QDateTime::currentDateTimeUtc();
    std::vector<double> firsts, idle, refFirsts, refIdle;
    Collection calendar;
    QElapsedTimer timer;
    // Each run of ours is followed by vdirsyncer's on the same server, and
    // the no-change rounds alternate too: on a shared machine the load
    // changes by the minute, and a block of ours before a block of theirs
    // measured the load as much as the clients.
    QTemporaryDir peer;
    QStringList args;
    for (int run = 0; run < runs; ++run) {
        calendar = client.create(CollectionKind::Calendar, QStringLiteral("Jmeniny %1").arg(run));
        counted.count = 0;
        timer.start();
        const UploadReport report = uploadNameDays(client, calendar, database, stamp, {});
        firsts.push_back(static_cast<double>(timer.elapsed()) / 1000);
        std::printf("upload: %d sent, %d requests, %.1f s\n", report.sent, counted.count, firsts.back());

        QDir(peer.path()).removeRecursively();
        QDir().mkpath(peer.path());
        const Collection reference = client.create(CollectionKind::Calendar, QStringLiteral("Reference %1").arg(run));
        args = peerConfig(peer.path(), client.urlOf(reference.path), *server, QStringLiteral(".ics"),
                          QStringLiteral("caldav"));
        for (const YearlyEvent& event : events) {
            QFile file(peer.filePath(QStringLiteral("cards/") + event.uid + QStringLiteral(".ics")));
            file.open(QIODevice::WriteOnly);
            file.write(writeYearlyEvents({event}, stamp));
        }
        vdirsyncer(args + QStringList{QStringLiteral("discover")}, peer.path(), "y\n");
        timer.start();
        vdirsyncer(args + QStringList{QStringLiteral("sync")}, peer.path());
        refFirsts.push_back(static_cast<double>(timer.elapsed()) / 1000);
        std::printf("vdirsyncer upload: %.1f s\n", refFirsts.back());
    }
    for (int round = 0; round < 5; ++round) {
        counted.count = 0;
        timer.start();
        uploadNameDays(client, calendar, database, stamp, {});
        idle.push_back(static_cast<double>(timer.elapsed()) / 1000);
        std::printf("no-change upload: %d request(s)\n", counted.count);
        timer.start();
        vdirsyncer(args + QStringList{QStringLiteral("sync")}, peer.path());
        refIdle.push_back(static_cast<double>(timer.elapsed()) / 1000);
    }
    summary("name days uploaded into a new calendar", firsts);
    summary("vdirsyncer uploading the same events", refFirsts);
    summary("no-change upload (5 runs)", idle);
    summary("vdirsyncer no-change sync (5 runs)", refIdle);
    std::printf("load after: %s\n", qPrintable(loadAverage()));
    stopDavServers();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // Each figure shows as it comes, also when the output goes to a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QStringList arguments = application.arguments().mid(1);
    const bool download = arguments.removeAll(QStringLiteral("--download")) > 0;
    const bool planner = arguments.removeAll(QStringLiteral("--planner")) > 0;
    if (arguments.removeAll(QStringLiteral("--namedays")) > 0)
        return nameDaysBench(arguments.isEmpty() ? 3 : arguments.first().toInt());
    const int count = arguments.isEmpty() ? 10000 : arguments.first().toInt();
    const CollectionKind kind = planner ? CollectionKind::Calendar : CollectionKind::AddressBook;
    const QString itemExtension = planner ? QStringLiteral(".ics") : QStringLiteral(".vcf");
    const auto writeItem = planner ? writeEvent : writeCard;
    QString why;
    bool installed = false;
    const DavServer* server = davServer(ServerKind::Radicale, &why, &installed);
    if (!server) {
        std::fprintf(stderr, "radicale: %s\n", qPrintable(why));
        return 1;
    }
    std::printf("%d %s %s, Radicale on 127.0.0.1, load before: %s\n", count, planner ? "planner days" : "contacts",
                download ? "on the server, none here" : "here, none on the server", qPrintable(loadAverage()));

    QTemporaryDir work;
    tools::makeDataDir(tools::sourceSeedsDir(), work.path().toStdString());
    store::Database database(std::filesystem::path(work.path().toStdString()) / "Data");
    database.registerPassword(store::dataTablesPassword());
    if (!download) {
        store::Cursor cursor(database, planner ? "Datp.DB" : "Dat.DB");
        cursor.open();
        std::vector<store::Cursor::RecordWrite> writes;
        for (int i = 0; i < count; ++i) {
            const QDate day = QDate(2000, 1, 1).addDays(i);
            writes.push_back(
                planner ? store::Cursor::RecordWrite{std::nullopt,
                                                     {day.toString(QStringLiteral("d.M.yyyy")).toStdString(),
                                                      QStringLiteral("Činnost %1").arg(i).toStdString()}}
                        : store::Cursor::RecordWrite{
                              std::nullopt,
                              {QStringLiteral("Příjmení %1").arg(i, 6, 10, QLatin1Char('0')).toStdString(), "Jan",
                               "Dlouhá 5, 110 00 Praha 1", "602 123 456", "poznámka"}});
        }
        cursor.writeRecords(writes);
    }

    QtTransport network(server->user, server->password);
    Counting counted(network);
    DavClient client(counted, server->url);
    const Collection book = chooseCollection(client, kind, {}, QStringLiteral("Bench"), {});
    if (download) {
        // Written into the server's folder, as if a phone had uploaded them long ago.
        const QString folder = server->storage + QStringLiteral("/collection-root") + book.path;
        for (int i = 0; i < count; ++i)
            writeItem(folder + QStringLiteral("/phone-%1").arg(i) + itemExtension, QStringLiteral("phone-%1").arg(i), i);
    }
    std::unique_ptr<LocalSide> side;
    if (planner)
        side = std::make_unique<PlannerSide>(database, QDateTime::currentDateTimeUtc());
    else
        side = std::make_unique<ContactsSide>(database);
    Nobody nobody;
    SyncEngine engine(client, *side, database, book, nobody);

    counted.count = 0;
    QElapsedTimer timer;
    timer.start();
    engine.run();
    const double first = static_cast<double>(timer.elapsed()) / 1000;
    {
        store::Cursor cursor(database, planner ? "Datp.DB" : "Dat.DB");
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
            writeItem(peer.filePath(QStringLiteral("cards/ref-%1").arg(i) + itemExtension), QStringLiteral("ref-%1").arg(i), i);
    }
    // Downloading, the reference reads the same collection as the program did.
    const Collection refBook = download ? book : client.create(kind, QStringLiteral("Reference"));
    const QStringList configArgs =
        peerConfig(peer.path(), client.urlOf(refBook.path), *server, itemExtension,
                   planner ? QStringLiteral("caldav") : QStringLiteral("carddav"));
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
