// The weight graph over 10,000 measurements of one person: reading the
// weights, painting the visible part, painting the whole 30000-pixel area,
// and the graph window's own repaint.
//   graph_bench   (offscreen by default)

#include "SyncOff.h"

#include "calculators/FormGraf.h"
#include "calculators/WeightGraph.h"

#include "platform/Fakes.h"
#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 10000;
const QString kName = QStringLiteral("Jana Nováková");

struct Fixture {
    fs::path dir;
    std::unique_ptr<store::Database> database;
    std::unique_ptr<store::Cursor> records;
};

Fixture& fixture()
{
    static Fixture f = [] {
        Fixture made;
        made.dir = fs::temp_directory_path() / "pelmir-graph-bench";
        fs::remove_all(made.dir);
        fs::create_directories(made.dir);
        {
            bench::SyncOff syncOff;
            store::Database::createTable(made.dir, *store::findTableDef("Data.DB"), "");
            store::Database database(made.dir);
            store::Cursor cursor(database, "Data.DB");
            cursor.open();
            std::mt19937 random(7);
            std::uniform_int_distribution<int> weight(55, 130);
            for (int i = 0; i < kRecords; ++i)
                cursor.insertRecord({kName.toStdString(), "1.1.2024", "170", std::to_string(weight(random)),
                                     "NORMÁLNÍ VÁHA"});
            cursor.close();
        }
        made.database = std::make_unique<store::Database>(made.dir);
        made.records = std::make_unique<store::Cursor>(*made.database, "Data.DB");
        made.records->open();
        return made;
    }();
    return f;
}

// The same records read forwards, for comparison with the backward walk.
void BM_ReadNamesForward(benchmark::State& state)
{
    const store::Cursor& records = *fixture().records;
    const int nameField = records.fieldIndex("Jméno");
    const int weightField = records.fieldIndex("Váha");
    for (auto _ : state) {
        long total = 0;
        for (int row = 0; row < records.rowCount(); ++row)
            total += static_cast<long>(records.rowText(row, nameField).size() + records.rowText(row, weightField).size());
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadNamesForward)->Unit(benchmark::kMillisecond);

// What a repaint reads: every record, from the last back to the first.
void BM_ReadWeights(benchmark::State& state)
{
    const store::Cursor& records = *fixture().records;
    for (auto _ : state) {
        auto weights = calculators::weightsOf(records, kName);
        benchmark::DoNotOptimize(weights.data());
    }
}
BENCHMARK(BM_ReadWeights)->Unit(benchmark::kMillisecond);

// One repaint of the visible part (the 459-pixel frame): read and draw.
void BM_PaintVisible(benchmark::State& state)
{
    const store::Cursor& records = *fixture().records;
    QImage image(459, calculators::kGraphHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        calculators::PainterCanvas canvas(painter);
        calculators::paintWeightGraph(canvas, calculators::weightsOf(records, kName), image.rect());
    }
}
BENCHMARK(BM_PaintVisible)->Unit(benchmark::kMillisecond);

// The whole drawing area at once: every bar that fits in 30000 pixels.
void BM_PaintWholeArea(benchmark::State& state)
{
    const store::Cursor& records = *fixture().records;
    QImage image(calculators::kGraphWidth, calculators::kGraphHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        calculators::PainterCanvas canvas(painter);
        calculators::paintWeightGraph(canvas, calculators::weightsOf(records, kName), image.rect());
    }
}
BENCHMARK(BM_PaintWholeArea)->Unit(benchmark::kMillisecond);

// The graph window's repaint of its drawing area, as the window system asks
// for it when the window is exposed or scrolled (the weights already read).
void BM_GraphWindowRepaint(benchmark::State& state)
{
    calculators::TFormGraf graph(*fixture().records);
    graph.showName(kName);
    while (!graph.windowHandle() || !graph.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    graph.drawingArea()->repaint();
    for (auto _ : state)
        graph.drawingArea()->repaint();
}
BENCHMARK(BM_GraphWindowRepaint)->Unit(benchmark::kMillisecond);

// The first repaint after "Graf" or after a change of the records: read and draw.
void BM_GraphWindowFirstPaint(benchmark::State& state)
{
    calculators::TFormGraf graph(*fixture().records);
    graph.showName(kName);
    while (!graph.windowHandle() || !graph.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    bool other = false;
    for (auto _ : state) {
        graph.showName(other ? kName : kName + QStringLiteral(" "));
        other = !other;
        graph.drawingArea()->repaint();
    }
}
BENCHMARK(BM_GraphWindowFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    platform::ScopedFakeServices fakes;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture().records.reset();
    fixture().database.reset();
    fs::remove_all(fixture().dir);
    return 0;
}
