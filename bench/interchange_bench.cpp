// Import and export at the sizes the address book meets: 100,000 vCards
// or CSV rows into an empty address book, and 1,000,000 addresses written out as vCard
// and CSV. A timing tool, one phase per run so that each peak of memory is
// its own:
//   interchange_bench import-vcard | import-csv | export-vcard | export-csv   [WORKDIR]
// The export phases fill the address book with a million records first
// (kept in WORKDIR, default ./interchange-bench, for the next run).

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

#include <cstdio>
#include <filesystem>

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QString phase = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("import-vcard");
    const std::filesystem::path work = argc > 2 ? argv[2] : "interchange-bench";
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
