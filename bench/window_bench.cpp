// The window taking the export of the whole 32 MiB benchmark ROM into text9,
// and reading a translation of that size back out of text10.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>

#include <cstdlib>
#include <filesystem>

#include "bench_data.hpp"
#include "core/text/files.hpp"
#include "ui/form1.hpp"
#include "ui/qt_text.hpp"
#include "ui/scripted_seams.hpp"

namespace {

using namespace quillmere;

std::u16string script_text() {
    const char* dir = std::getenv("QUILLMERE_BENCH_DATA");
    bench::DataFiles files{dir ? dir : "build/bench/data"};
    auto text = text::read_text_file(files.script());
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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
