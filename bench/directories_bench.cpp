// Speed of the reference directories at the sizes of real use: a postal-code
// table of 20,000 places (about the post's complete list, loaded through the
// import from a generated CSV file in Windows-1250) and an appliance register
// of 100,000 entries. Prints the median (and the worst) of several runs.
//   directories_bench            (offscreen unless QT_QPA_PLATFORM says otherwise)

#include "directories/CodeDirectoryForm.h"
#include "directories/PostalImport.h"
#include "directories/VyrobForm.h"

#include "platform/Fakes.h"
#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kPlaces = 20000;
constexpr int kAppliances = 100000;

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures measure(int runs, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void report(const char* what, const Figures& figures, const char* goal)
{
    std::printf("%-58s %9.2f ms  (worst %8.2f ms)  goal %s\n", what, figures.median, figures.worst, goal);
    std::fflush(stdout);
}

// 20,000 distinct place names made of Czech words, each with one of about
// 2,500 postal codes, shaped like the post's list (part, code, office, district, municipality).
QByteArray postList()
{
    const QStringList prefixes = {"Horní", "Dolní", "Nová", "Malá", "Velká"};
    const QStringList roots = {"Lhota", "Ves", "Hora", "Újezd", "Lhotka", "Bystřice", "Lučany", "Dvůr",
                               "Řečice", "Žďár", "Šárka", "Čermná", "Ořechov", "Kostelec", "Třebušín",
                               "Záhoří", "Hrádek", "Chlum", "Lipí", "Mýto"};
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> codes(0, 2499);
    QString text = QStringLiteral("NAZCOBCE;PSC;NAZPOST;NAZOKRESU;NAZOBCE\n");
    int made = 0;
    for (int number = 1; made < kPlaces; ++number) {
        for (const QString& prefix : prefixes) {
            for (const QString& root : roots) {
                if (made == kPlaces)
                    break;
                const int code = 10000 + codes(random) * 31;
                const QString place = QStringLiteral("%1 %2 %3").arg(prefix, root).arg(number);
                text += QStringLiteral("%1;%2;Pošta %3;Okres %4;%1\n").arg(place).arg(code).arg(code / 100).arg(code % 77);
                ++made;
            }
        }
    }
    QStringEncoder encoder("windows-1250");
    return encoder(text);
}

void fillAppliances(store::Database& database)
{
    store::Cursor cursor(database, "Vyrob.db");
    cursor.open();
    std::vector<store::Cursor::RecordWrite> writes;
    writes.reserve(kAppliances);
    for (int i = 0; i < kAppliances; ++i) {
        const std::string n = std::to_string(100000 + i);
        writes.push_back({std::nullopt,
                          {"Přístroj " + n, "Výrobce " + std::to_string(i % 300), "SN-" + n, "1.2.2020", "1.2.2022",
                           std::to_string(1000 + i % 9000) + " Kč", "Obchod " + std::to_string(i % 50), "kuchyně",
                           "Servis Brno", "poznámka", "", "", "", ""}});
    }
    cursor.writeRecords(writes);
    cursor.close();
}

// Typing into a search field, one key at a time, each followed by a painted grid.
Figures typing(QLineEdit* field, widgets::DBGrid* grid, const QString& text)
{
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        field->clear();
        for (const QChar c : text) {
            QElapsedTimer timer;
            timer.start();
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
            grid->viewport()->repaint();
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("PELMIR_SOURCE_DIR"))
        qputenv("PELMIR_SOURCE_DIR", PELMIR_SOURCE_ROOT);
    QApplication application(argc, argv);
    platform::ScopedFakeServices fakes;
    QTemporaryDir dir;
    const std::filesystem::path workDir = dir.path().toStdString();
    tools::makeDataDir(tools::sourceSeedsDir(), workDir);
    store::Database database(workDir / "Data");
    database.registerPassword(store::dataTablesPassword());

    // The import of the whole list into the delivered table, phase by phase.
    const QByteArray csv = postList();
    directories::CsvDocument document;
    directories::PostalImportPlan plan;
    store::Cursor postal(database, "Psc.DB");
    postal.open();
    QElapsedTimer total;
    total.start();
    report("import: read and decode 20,000 lines (Windows-1250)",
           measure(1, [&] { document = directories::readCsv(csv); }), "");
    std::vector<directories::StoredPlace> stored;
    report("import: read the stored places",
           measure(1, [&] { stored = directories::readStoredPlaces(postal); }), "");
    report("import: plan", measure(1, [&] {
               plan = directories::planPostalImport(document, directories::recognisePostalColumns(document.header),
                                                    stored);
           }),
           "");
    report("import: store 20,000 places in one transaction",
           measure(1, [&] { directories::applyPostalImport(postal, plan); }), "");
    report("import: the whole of it", {static_cast<double>(total.nsecsElapsed()) / 1e6, 0}, "< 2000 ms");
    std::printf("  (%zu added, %zu changed; the table now holds %d places)\n", plan.additions.size(),
                plan.changes.size(), postal.recordCount());
    postal.close();

    // The postal-code window over the full list.
    std::unique_ptr<directories::TPscForm> psc;
    report("postal codes: open the window (create, open the table, paint)", measure(5, [&] {
               psc.reset();
               psc = std::make_unique<directories::TPscForm>(database);
               psc->FormCreate();
               psc->show();
               psc->repaint();
           }),
           "< 300 ms");
    auto* search = psc->findChild<QLineEdit*>(QStringLiteral("EditHled"));
    auto* grid = psc->findChild<widgets::DBGrid*>(QStringLiteral("DBGridPsc"));
    report("postal codes: a search keystroke to the painted grid", typing(search, grid, QStringLiteral("velká řečice 4")),
           "< 5 ms");
    auto* posta = psc->findChild<QToolButton*>(QStringLiteral("SpeedButtonVyber"));
    report("postal codes: the post-office view, shown", measure(9, [&] {
               posta->click();
               grid->viewport()->repaint();
               posta->click();
           }),
           "< 50 ms");
    std::printf("  (the view lists %d places)\n", [&] {
        posta->click();
        const int rows = grid->model()->rowCount();
        posta->click();
        return rows;
    }());
    psc.reset();

    // The appliance register of 100,000 entries.
    fillAppliances(database);
    std::unique_ptr<directories::TVyrobForm> vyrob;
    report("appliances: open the window (create, open the table, paint)", measure(5, [&] {
               vyrob.reset();
               vyrob = std::make_unique<directories::TVyrobForm>(database);
               vyrob->FormCreate();
               vyrob->show();
               vyrob->repaint();
           }),
           "< 300 ms");
    report("appliances: a search keystroke to the painted grid",
           typing(vyrob->findChild<QLineEdit*>(QStringLiteral("HledEdit")),
                  vyrob->findChild<widgets::DBGrid*>(QStringLiteral("DBGrid1")), QStringLiteral("Přístroj 15555")),
           "< 5 ms");
    vyrob.reset();
    return 0;
}
