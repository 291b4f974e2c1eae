// Import and export at the sizes the address book meets: 100,000 vCards
// or CSV rows into an empty address book, and 1,000,000 addresses written out as vCard
// and CSV. A timing tool, one phase per run so that each peak of memory is
// its own:
//   interchange_bench import-vcard | import-csv | export-vcard | export-csv   [WORKDIR]
// The export phases fill the address book with a million records first
// (kept in WORKDIR, default ./interchange-bench, for the next run).
//   interchange_bench program-export-vcard PELMIR [WORKDIR] [RUNS]
// times `PELMIR --export` of the million addresses to vCard as the user
// runs it, a process from start to exit, beside two references in the same
// run, turn about: a plain Python script that reads the same table and
// writes the same bytes (export_reference.py; the files are compared), and
// the floor of the disk, `cp` of the finished bytes and `sync` of the copy
// (every one of them flushes its file before it ends).

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include "interchange/AddressCsv.h"
#include "interchange/CsvReader.h"
#include "interchange/Export.h"
#include "interchange/ImportFile.h"
#include "interchange/ImportPlan.h"
#include "interchange/VCard.h"

#include "tools/DataDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::vector<QString> addressAt(int i)
{
    return {QStringLiteral("Příjmení%1 Žluťoučký").arg(i, 7, 10, QLatin1Char('0')), QStringLiteral("Řehoř"),
            QStringLiteral("Dlouhá %1, 110 00 Praha 1").arg(i % 500), QStringLiteral("777 %1").arg(i % 1000000, 6, 10, QLatin1Char('0')),
            QStringLiteral("Poznámka číslo %1 s českými znaky ěščřžýáíé").arg(i)};
}

void fresh(const std::filesystem::path& work)
{
    std::filesystem::remove_all(work);
    tools::makeDataDir(tools::sourceSeedsDir(), work);
}

std::string quoted(const std::filesystem::path& path)
{
    std::string out = "'";
    for (const char c : path.string())
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Seconds a shell command takes; exits when it fails.
double timedCommand(const std::string& command)
{
    const auto started = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void printFigures(const char* what, std::vector<double> runs)
{
    std::sort(runs.begin(), runs.end());
    std::printf("%-40s %8.2f %8.2f %8.2f\n", what, runs.front(), runs[runs.size() / 2], runs.back());
}

// The program's export against `cp` + `sync` of the same bytes, turn about.
int programExport(const std::filesystem::path& program, const std::filesystem::path& million, int runs)
{
    namespace fs = std::filesystem;
    const fs::path out = fs::absolute("program.vcf");
    const fs::path expected = fs::absolute("expected.vcf");
    const fs::path copy = fs::absolute("copy.vcf");
    const std::string exportCommand = quoted(program) + " --workdir " + quoted(fs::absolute(million)) +
                                      " --export " + quoted(out) + " >/dev/null";
    const std::string copyCommand = "cp " + quoted(expected) + " " + quoted(copy) + " && sync " + quoted(copy);
    const std::string scriptCommand = "python3 " + quoted(fs::path(PELMIR_SOURCE_TREE) / "bench" / "export_reference.py") +
                                      " " + quoted(fs::absolute(million / "Data")) + " " + quoted(copy);
    timedCommand(exportCommand); // the bytes the reference writes
    fs::rename(out, expected);
    std::printf("1,000,000 addresses to vCard, %.1f MB, %d runs each; load before: %s\n",
                static_cast<double>(fs::file_size(expected)) / 1e6, runs, loadAverage().c_str());
    const auto same = [&](const fs::path& file) {
        if (std::system(("cmp -s " + quoted(file) + " " + quoted(expected)).c_str()) == 0)
            return true;
        std::fprintf(stderr, "%s holds other bytes than the program's first export\n", file.c_str());
        return false;
    };
    std::vector<double> exports, scripts, copies;
    for (int run = 0; run < runs; ++run) {
        // The order turns round each run, so that none always follows another's writes.
        for (int turn = 0; turn < 3; ++turn) {
            fs::remove(out);
            fs::remove(copy);
            switch ((turn + run) % 3) {
            case 0:
                exports.push_back(timedCommand(exportCommand));
                if (!same(out))
                    return 1;
                break;
            case 1:
                scripts.push_back(timedCommand(scriptCommand));
                if (!same(copy))
                    return 1;
                break;
            default:
                copies.push_back(timedCommand(copyCommand));
            }
        }
    }
    std::printf("%-40s %8s %8s %8s\n", "", "min s", "median s", "max s");
    printFigures("pelmir --export", exports);
    printFigures("Python script, same bytes (reference)", scripts);
    printFigures("cp + sync of the same bytes (floor)", copies);
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("ratio of the medians: %.2f to the script, %.2f to the copy\nload after: %s\n",
                median(exports) / median(scripts), median(exports) / median(copies), loadAverage().c_str());
    fs::remove(out);
    fs::remove(copy);
    fs::remove(expected);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QString phase = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("import-vcard");
    const bool program = phase == QLatin1String("program-export-vcard");
    if (program && argc < 3) {
        std::fprintf(stderr, "usage: interchange_bench program-export-vcard PELMIR [WORKDIR] [RUNS]\n");
        return 2;
    }
    const int argBase = program ? 3 : 2;
    const std::filesystem::path work = argc > argBase ? argv[argBase] : "interchange-bench";
    QElapsedTimer timer;

    if (phase == QLatin1String("import-vcard") || phase == QLatin1String("import-csv")) {
        const bool csv = phase == QLatin1String("import-csv");
        fresh(work / "import");
        QByteArray file;
        if (csv)
            file = "\xEF\xBB\xBF" + interchange::csvLine({QStringLiteral("Příjmení"), QStringLiteral("Jméno"),
                                                          QStringLiteral("Adresa"), QStringLiteral("Telefon"),
                                                          QStringLiteral("Poznámka")});
        for (int i = 0; i < 100000; ++i) {
            const std::vector<QString> fields = addressAt(i);
            file += csv ? interchange::csvLine(QStringList(fields.begin(), fields.end())) : interchange::writeVCard(fields);
        }
        const double before = peakMegabytes();
        store::Database database(work / "import" / "Data");
        timer.start();
        std::optional<interchange::ImportSource> source;
        if (csv) {
            const interchange::CsvDocument document = interchange::readCsv(file);
            source = interchange::csvSource(document, interchange::guessRoles(document.header));
        } else {
            source = interchange::vcardSource(file);
        }
        const qint64 read = timer.elapsed();
        std::optional<interchange::ImportPlan> plan = interchange::makePlan(database, *source);
        const qint64 planned = timer.elapsed();
        const std::vector<interchange::TableResult> results = interchange::applyPlan(database, *plan);
        const qint64 written = timer.elapsed();
        std::printf("100000 %s (%.1f MB): read %.2f s, checked %.2f s, written %.2f s, total %.2f s; "
                    "peak memory %.0f MB (%.0f MB before reading)\n%s\n",
                    csv ? "CSV rows" : "vCards", file.size() / 1048576.0, read / 1000.0, (planned - read) / 1000.0,
                    (written - planned) / 1000.0, written / 1000.0, peakMegabytes(), before,
                    qPrintable(interchange::resultText(results)));
        return 0;
    }

    const std::filesystem::path million = work / "million";
    if (!std::filesystem::exists(million / "Data")) {
        fresh(million);
        store::Database database(million / "Data");
        store::Cursor cursor(database, "Dat.DB");
        cursor.open();
        std::vector<store::Cursor::RecordWrite> writes;
        for (int i = 0; i < 1000000; ++i) {
            std::vector<std::string> texts;
            for (const QString& field : addressAt(i))
                texts.push_back(field.toStdString());
            writes.push_back({std::nullopt, std::move(texts)});
        }
        cursor.writeRecords(writes);
    }
    if (program)
        return programExport(argv[2], million, argc > argBase + 1 ? std::atoi(argv[argBase + 1]) : 5);
    store::Database database(million / "Data");
    interchange::ExportOptions options;
    options.format = phase == QLatin1String("export-csv") ? interchange::ExportFormat::Csv : interchange::ExportFormat::VCard;
    const QString out = QDir::current().filePath(options.format == interchange::ExportFormat::Csv ? QStringLiteral("bench.csv")
                                                                                             : QStringLiteral("bench.vcf"));
    const double before = peakMegabytes();
    timer.start();
    const interchange::ExportResult result = interchange::exportAddresses(database, out, options);
    std::printf("%lld addresses to %s: %.2f s, peak memory %.0f MB (%.0f MB after opening)\n",
                static_cast<long long>(result.records), qPrintable(out), timer.elapsed() / 1000.0, peakMegabytes(), before);
    QFile::remove(out);
    return result.written ? 0 : 1;
}
