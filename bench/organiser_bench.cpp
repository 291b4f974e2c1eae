// The organiser over a planner of 100,000 entries: opening the planner window,
// a text search walking the whole table and "Další" walking on, the reminder's
// check for today; the date picker's month change; the name-day window's
// start-up positioning on the last day of the year (its longest walk).
//   organiser_bench   (offscreen by default; the tables go to a temporary folder)

#include "SyncOff.h"

#include "organiser/KalendarForm.h"
#include "organiser/NameDayRules.h"
#include "organiser/PlanovacForm.h"
#include "organiser/Reminders.h"
#include "organiser/SvatekForm.h"
#include "organiser/Wiring.h"

#include "platform/Fakes.h"
#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"
#include "tools/Pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 100000;
const QDate kFirstDay(1800, 1, 1);

struct Fixture {
    fs::path dir;
    std::unique_ptr<platform::ScopedFakeServices> fakes;
    std::unique_ptr<store::Database> database;
    std::unique_ptr<organiser::TPlanovacForm> planner;
    std::unique_ptr<organiser::TKalendarForm> picker;
    std::unique_ptr<organiser::TSvatekForm> nameDays;
};

// A working directory whose planner has an entry for every day from 1 January
// 1800 on; "oslava" stands only in the first and the last entry's activity.
Fixture& fixture()
{
    static Fixture f = [] {
        Fixture made;
        made.dir = fs::temp_directory_path() / "pelmir-organiser-bench";
        fs::remove_all(made.dir);
        {
            bench::SyncOff syncOff;
            tools::makeDataDir(fs::path(PELMIR_SOURCE_DIR) / "data", made.dir);
            store::Database database(made.dir / store::kDataDirName);
            store::Cursor planner(database, "Datp.db");
            planner.open();
            for (int i = 0; i < kEntries; ++i) {
                const QDate day = kFirstDay.addDays(i);
                const std::string activity = i == 0 || i == kEntries - 1
                                                 ? "Rodinná oslava"
                                                 : "Nákup, úklid a zalít květiny č. " + std::to_string(i);
                planner.insertRecord(
                    {QStringLiteral("%1.%2.%3").arg(day.day()).arg(day.month()).arg(day.year()).toStdString(),
                     activity});
            }
        }
        tools::renderPictures(made.dir / "Obrazky");
        made.fakes = std::make_unique<platform::ScopedFakeServices>();
        made.fakes->paths.setWorkDir(QString::fromStdString(made.dir.string()));
        made.fakes->clock.setNow(QDateTime(QDate(2024, 12, 31), QTime(10, 0)));
        made.database = std::make_unique<store::Database>(made.dir / store::kDataDirName);
        made.planner = std::make_unique<organiser::TPlanovacForm>(*made.database);
        made.picker = std::make_unique<organiser::TKalendarForm>();
        organiser::connectDatePicker(*made.picker, *made.planner);
        made.nameDays = std::make_unique<organiser::TSvatekForm>(*made.database);
        made.nameDays->FormCreate();
        organiser::connectNameDays(*made.nameDays, *made.picker, *made.planner);
        return made;
    }();
    return f;
}

// Creating the planner window on the table (opening it) and its first paint.
void BM_OpenPlannerWindow(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        organiser::TPlanovacForm window(*f.database);
        window.show();
        QCoreApplication::processEvents();
        window.repaint();
    }
}
BENCHMARK(BM_OpenPlannerWindow)->Unit(benchmark::kMillisecond);

void clickSearch(organiser::TPlanovacForm& planner, const char* button)
{
    planner.findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
}

// The planner shown with its search panel open; its search text.
QLineEdit* openSearch(organiser::TPlanovacForm& planner)
{
    planner.show();
    planner.SpeedButtonHledaniClick();
    return planner.findChild<QLineEdit*>(QStringLiteral("EditHledani"));
}

// "Hledej" for a text only the last but one entry holds: the walk over every entry.
void BM_PlannerSearchWholeTable(benchmark::State& state)
{
    Fixture& f = fixture();
    QLineEdit* edit = openSearch(*f.planner);
    for (auto _ : state) {
        // Typing turns "Hledej" on again after the last search found its entry.
        edit->clear();
        edit->setText(QStringLiteral("zalít květiny č. 99998"));
        clickSearch(*f.planner, "SpeedButtonHledej");
    }
    if (f.planner->TablePlanovac().currentRow() != kEntries - 2)
        state.SkipWithError("the search did not reach the last but one entry");
}
BENCHMARK(BM_PlannerSearchWholeTable)->Unit(benchmark::kMillisecond);

// "Další" from the first "oslava" to the only other one, in the last entry.
void BM_PlannerFurtherOccurrence(benchmark::State& state)
{
    Fixture& f = fixture();
    QLineEdit* edit = openSearch(*f.planner);
    for (auto _ : state) {
        state.PauseTiming();
        edit->clear();
        edit->setText(QStringLiteral("oslava"));
        clickSearch(*f.planner, "SpeedButtonHledej");
        state.ResumeTiming();
        clickSearch(*f.planner, "SpeedButtonDalsi");
    }
    if (f.planner->TablePlanovac().currentRow() != kEntries - 1)
        state.SkipWithError("Další did not reach the last entry");
}
BENCHMARK(BM_PlannerFurtherOccurrence)->Unit(benchmark::kMillisecond);

// The main window's check for today's entry, which leaves the planner on its first entry.
void BM_ReminderPlannerCheck(benchmark::State& state)
{
    Fixture& f = fixture();
    const QDate last = kFirstDay.addDays(kEntries - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(organiser::plannerHasEntryOn(f.planner->TablePlanovac(), last));
}
BENCHMARK(BM_ReminderPlannerCheck)->Unit(benchmark::kMicrosecond);

// The date picker's next-month button: the new day's name looked up and the
// window repainted.
void BM_DatePickerMonthChange(benchmark::State& state)
{
    Fixture& f = fixture();
    f.picker->open(organiser::TKalendarForm::Use::Planning);
    auto* next = f.picker->findChild<QAbstractButton*>(QStringLiteral("PrisMesicSpeedButton"));
    for (auto _ : state) {
        next->click();
        f.picker->repaint();
    }
}
BENCHMARK(BM_DatePickerMonthChange)->Unit(benchmark::kMillisecond);

// The start-up positioning on 31 December: the walk over all 366 rows.
void BM_NameDayPositioning(benchmark::State& state)
{
    Fixture& f = fixture();
    store::Cursor& calendar = f.nameDays->Table();
    for (auto _ : state) {
        calendar.first();
        benchmark::DoNotOptimize(organiser::positionOnDay(calendar, QDate(2024, 12, 31)));
    }
    if (calendar.currentRow() != 365)
        state.SkipWithError("the positioning missed 31 December");
}
BENCHMARK(BM_NameDayPositioning)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture().nameDays.reset();
    fixture().picker.reset();
    fixture().planner.reset();
    fixture().database.reset();
    fixture().fakes.reset();
    fs::remove_all(fixture().dir);
    return 0;
}
