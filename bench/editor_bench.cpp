// The letter editor's speed: reading and writing a 1 MB RTF letter, one
// keystroke in a 100-page letter, and the look-up box over the 1,000,000
// addresses that store_bench generates into $PELMIR_BENCH_CACHE (default
// ./store-bench-cache; run store_bench first).
//   QT_QPA_PLATFORM=offscreen editor_bench

#include "BenchSupport.h"

#include "editor/EditorForm.h"
#include "richtext/Rtf.h"
#include "widgets/DBLookupComboBox.h"

#include "platform/Fakes.h"
#include "store/Database.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kTable = "Dat.DB";

// A letter of paragraphs of Czech text with a bold word, an italic one and
// a larger one in each, until it holds about `characters` characters.
void fillLetter(QTextDocument& document, int characters)
{
    const QString sentence = QStringLiteral(
        "Vážený pane Nováku, děkujeme za Vaši objednávku ze dne 12. května a příliš žluťoučký "
        "kůň úpěl ďábelské ódy. ");
    QTextCursor cursor(&document);
    QTextCharFormat plain;
    plain.setFontPointSize(10);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    QTextCharFormat large = plain;
    large.setFontPointSize(14);
    while (document.characterCount() < characters) {
        cursor.insertText(sentence, plain);
        cursor.insertText(QStringLiteral("tučně "), bold);
        cursor.insertText(sentence, plain);
        cursor.insertText(QStringLiteral("kurzívou "), italic);
        cursor.insertText(QStringLiteral("větší "), large);
        cursor.insertText(sentence, plain);
        cursor.insertBlock();
    }
}

const QByteArray& letterRtf()
{
    static const QByteArray rtf = [] {
        QTextDocument document;
        // Czech letters take four bytes each in the file; 600,000 characters give about 1 MB.
        fillLetter(document, 600'000);
        return richtext::writeRtf(document);
    }();
    return rtf;
}

void Rtf_Read1MB(benchmark::State& state)
{
    const QByteArray& rtf = letterRtf();
    for (auto _ : state) {
        QTextDocument document;
        richtext::readRtf(rtf, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.counters["MB"] = rtf.size() / 1048576.0;
}

void Rtf_Write1MB(benchmark::State& state)
{
    QTextDocument document;
    richtext::readRtf(letterRtf(), document);
    for (auto _ : state) {
        const QByteArray rtf = richtext::writeRtf(document);
        benchmark::DoNotOptimize(rtf.size());
    }
    state.counters["MB"] = letterRtf().size() / 1048576.0;
}

struct EditorBench {
    platform::ScopedFakeServices fakes;
    std::unique_ptr<store::Database> database;
    std::unique_ptr<editor::TEditorForm> form;
};

std::unique_ptr<EditorBench> g_editorBench;

EditorBench& editorBench()
{
    if (!g_editorBench)
        g_editorBench = std::make_unique<EditorBench>();
    EditorBench& b = *g_editorBench;
    if (!b.form) {
        const fs::path source = bench::cacheDir() / "table" / kTable;
        if (!fs::exists(source)) {
            std::fprintf(stderr, "no %s: run store_bench first\n", source.c_str());
            std::exit(1);
        }
        const fs::path work = bench::cacheDir() / "editor-work";
        fs::remove_all(work);
        fs::create_directories(work);
        fs::copy_file(source, work / kTable);
        b.database = std::make_unique<store::Database>(work);
        b.form = std::make_unique<editor::TEditorForm>(*b.database);
        b.form->FormCreate();
        b.form->resize(1000, 800);
        b.form->show();
        QApplication::processEvents();
    }
    return b;
}

// A 100-page letter (about 50 lines of 70 characters a page); each key is
// typed in its middle and the window brought up to date (layout and paint).
void Editor_Keystroke100Pages(benchmark::State& state)
{
    EditorBench& b = editorBench();
    editor::EditorArea* area = b.form->editorArea();
    area->clear();
    fillLetter(*area->document(), 100 * 50 * 70);
    QTextCursor middle(area->document());
    middle.setPosition(area->document()->characterCount() / 2);
    area->setTextCursor(middle);
    area->ensureCursorVisible();
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(area, Qt::Key_A);
        area->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["pages"] = area->document()->characterCount() / (50.0 * 70);
}

// The look-up box over a million surnames. The key list is read before the
// timing starts (the program reads it on a thread at start-up), so a key
// costs what it costs once the window is in use. Each iteration is one thing
// the user does, painted: opening the list and typing a surname's beginning,
// or one key typed into the open list; a key echoed by a bare line edit is
// the reference.
widgets::DBLookupComboBox* lookupBox()
{
    EditorBench& b = editorBench();
    auto* box = b.form->findChild<widgets::DBLookupComboBox*>(QStringLiteral("DBLookupComboBox1"));
    static const bool warmed = [box] {
        box->lineEdit()->setFocus();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("A"));
        box->lineEdit()->clear();
        QApplication::processEvents();
        return true;
    }();
    (void)warmed;
    return box;
}

void Lookup_OpenAndFind(benchmark::State& state)
{
    widgets::DBLookupComboBox* box = lookupBox();
    QLineEdit* edit = box->lineEdit();
    for (auto _ : state) {
        box->showPopup();
        QApplication::processEvents();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Nova"));
        QApplication::processEvents();
        state.PauseTiming();
        box->hidePopup();
        edit->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = box->count();
    state.counters["found_row"] = box->view()->currentIndex().row();
}

void Lookup_KeyWhileOpen(benchmark::State& state)
{
    widgets::DBLookupComboBox* box = lookupBox();
    QLineEdit* edit = box->lineEdit();
    box->showPopup();
    QApplication::processEvents();
    int typed = 0;
    const QString surname = QStringLiteral("Novotn");
    for (auto _ : state) {
        // Types the surname key by key, then takes it back key by key.
        const int step = typed % (2 * static_cast<int>(surname.size()));
        if (step < surname.size())
            QTest::keyClick(edit, surname.at(step).toLatin1());
        else
            QTest::keyClick(edit, Qt::Key_Backspace);
        QApplication::processEvents();
        ++typed;
    }
    box->hidePopup();
    edit->clear();
    QApplication::processEvents();
}

void Reference_LineEditEcho(benchmark::State& state)
{
    EditorBench& b = editorBench();
    QLineEdit edit(b.form.get());
    edit.move(10, 10);
    edit.show();
    edit.setFocus();
    QApplication::processEvents();
    int typed = 0;
    for (auto _ : state) {
        if (typed++ % 12 < 6)
            QTest::keyClick(&edit, Qt::Key_N);
        else
            QTest::keyClick(&edit, Qt::Key_Backspace);
        QApplication::processEvents();
    }
}

} // namespace

BENCHMARK(Rtf_Read1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Rtf_Write1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Editor_Keystroke100Pages)->Unit(benchmark::kMillisecond)->Iterations(50);
// min/median/max over single iterations (one user action each).
void spread(benchmark::internal::Benchmark* bench)
{
    bench->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(21)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
        ->ReportAggregatesOnly(true);
}
BENCHMARK(Lookup_OpenAndFind)->Apply(spread);
BENCHMARK(Lookup_KeyWhileOpen)->Apply(spread);
BENCHMARK(Reference_LineEditEcho)->Apply(spread);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_editorBench.reset(); // the window goes before the application object
    return 0;
}
