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

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

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

// The look-up box opens its list over a million surnames, and typing a
// surname's beginning finds it by the index.
void Lookup_Open(benchmark::State& state)
{
    EditorBench& b = editorBench();
    auto* box = b.form->findChild<widgets::DBLookupComboBox*>(QStringLiteral("DBLookupComboBox1"));
    box->setCurrentIndex(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        box->showPopup();
        QApplication::processEvents();
        box->hidePopup();
    }
}

void Lookup_Type(benchmark::State& state)
{
    EditorBench& b = editorBench();
    auto* box = b.form->findChild<widgets::DBLookupComboBox*>(QStringLiteral("DBLookupComboBox1"));
    QLineEdit* edit = box->lineEdit();
    for (auto _ : state) {
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Nova"));
        QApplication::processEvents();
    }
}

void Lookup_TypeWhileOpen(benchmark::State& state)
{
    EditorBench& b = editorBench();
    auto* box = b.form->findChild<widgets::DBLookupComboBox*>(QStringLiteral("DBLookupComboBox1"));
    QLineEdit* edit = box->lineEdit();
    box->showPopup();
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(edit, Qt::Key_N);
        QApplication::processEvents();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QApplication::processEvents();
    }
    box->hidePopup();
}

void Lookup_OpenAndFind(benchmark::State& state)
{
    EditorBench& b = editorBench();
    auto* box = b.form->findChild<widgets::DBLookupComboBox*>(QStringLiteral("DBLookupComboBox1"));
    QLineEdit* edit = box->lineEdit();
    for (auto _ : state) {
        box->showPopup();
        QApplication::processEvents();
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Nova"));
        QApplication::processEvents();
        box->hidePopup();
    }
    state.counters["rows"] = box->count();
    state.counters["found_row"] = box->currentIndex();
}

} // namespace

BENCHMARK(Rtf_Read1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Rtf_Write1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Editor_Keystroke100Pages)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(Lookup_Open)->Unit(benchmark::kMillisecond)->Iterations(5)->Arg(-1)->Arg(500000);
BENCHMARK(Lookup_TypeWhileOpen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Lookup_Type)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Lookup_OpenAndFind)->Unit(benchmark::kMillisecond)->Iterations(10);

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
