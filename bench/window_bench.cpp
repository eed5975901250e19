// The window taking the export of the whole 32 MiB benchmark ROM into text9,
// and reading a translation of that size back out of text10.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>

#include "bench_data.hpp"
#include "core/files/files.hpp"
#include "ui/form1.hpp"
#include "ui/qt_text.hpp"
#include "ui/scripted_seams.hpp"

namespace {

using namespace quillmere;

std::u16string script_text() {
    const char* dir = std::getenv("QUILLMERE_BENCH_DATA");
    bench::DataFiles files{dir ? dir : "build/bench/data"};
    auto text = files::read_text_file(files.script());
    return text ? text->text : std::u16string();
}

struct Window {
    std::filesystem::path data_dir = std::filesystem::temp_directory_path() / "quillmere-window-bench";
    ui::ScriptedMessageBoxes boxes;
    ui::ScriptedFileDialogs dialogs;
    ui::Form1 form{(std::filesystem::create_directories(data_dir), data_dir), boxes, dialogs};
    QPlainTextEdit* text9 = form.findChild<QPlainTextEdit*>("text9");
    QPlainTextEdit* text10 = form.findChild<QPlainTextEdit*>("text10");
};

void SetExportIntoText9(benchmark::State& state) {
    const std::u16string text = script_text();
    Window window;
    window.form.show();
    for (auto _ : state) {
        ui::set_editor_text(*window.text9, text);
        QApplication::processEvents();
        state.PauseTiming();
        window.text9->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(SetExportIntoText9)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The conversion into the editor's lines alone, a part of the above.
void ToEditorText(benchmark::State& state) {
    const std::u16string text = script_text();
    for (auto _ : state) {
        QString shown = ui::to_editor_text(text);
        benchmark::DoNotOptimize(shown);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(ToEditorText)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The editor taking text already converted, and showing it.
void SetPlainTextIntoText9(benchmark::State& state) {
    const QString shown = ui::to_editor_text(script_text());
    Window window;
    window.form.show();
    long faults = 0;
    for (auto _ : state) {
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        window.text9->setPlainText(shown);
        QApplication::processEvents();
        ::getrusage(RUSAGE_SELF, &after);
        faults += after.ru_minflt - before.ru_minflt;
        state.PauseTiming();
        window.text9->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["page_faults"] = static_cast<double>(faults) / static_cast<double>(state.iterations());
}
BENCHMARK(SetPlainTextIntoText9)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void ReadText10Back(benchmark::State& state) {
    const std::u16string text = script_text();
    Window window;
    ui::set_editor_text(*window.text10, text);
    for (auto _ : state) {
        std::u16string back = ui::editor_text(*window.text10);
        if (back.size() < text.size()) state.SkipWithError("text10 lost text");
        benchmark::DoNotOptimize(back);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(ReadText10Back)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Start-up to a painted window with a filter list of one line of 1 MB in
// glq.dat.
void StartUpWithMegabyteFilterLine(benchmark::State& state) {
    const auto data_dir = std::filesystem::temp_directory_path() / "quillmere-long-line-bench";
    std::filesystem::create_directories(data_dir);
    std::string line = "00=" + std::string(std::size_t{1} << 20, 'x');
    if (!files::write_bytes(data_dir / "glq.dat", std::vector<std::uint8_t>(line.begin(), line.end())))
        state.SkipWithError("cannot write glq.dat");
    ui::ScriptedMessageBoxes boxes;
    ui::ScriptedFileDialogs dialogs;
    for (auto _ : state) {
        ui::Form1 form(data_dir, boxes, dialogs);
        form.show();
        QApplication::processEvents();
        form.repaint();
        state.PauseTiming();
        if (ui::editor_text(*form.findChild<QPlainTextEdit*>("Text6")).size() != line.size() + 2)
            state.SkipWithError("Text6 lost the line");
        form.hide();  // no shut-down: the file stays as it is
        state.ResumeTiming();
    }
}
BENCHMARK(StartUpWithMegabyteFilterLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
