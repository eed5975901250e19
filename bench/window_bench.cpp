// The window with the whole 32 MiB benchmark ROM: its export through the
// gettext button with the preview on, the event loop's longest pause and the
// process's peak memory meanwhile; the export text into text9 (the document
// built on a worker, then shown); reading a translation of that size back
// out of text10; start-up with a long filter line.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "bench_data.hpp"
#include "core/files/files.hpp"
#include "ui/form1.hpp"
#include "ui/qt_text.hpp"
#include "ui/scripted_seams.hpp"

namespace {

using namespace quillmere;

bench::DataFiles data_files() {
    const char* dir = std::getenv("QUILLMERE_BENCH_DATA");
    return bench::DataFiles{dir ? dir : "build/bench/data"};
}

std::u16string script_text() {
    auto text = files::read_text_file(data_files().script());
    return text ? text->text : std::u16string();
}

double peak_mib() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Lets the window paint what it was given.
void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Window {
    std::filesystem::path data_dir = std::filesystem::temp_directory_path() / "quillmere-window-bench";
    ui::ScriptedMessageBoxes boxes;
    ui::ScriptedFileDialogs dialogs;
    ui::Form1 form{(std::filesystem::create_directories(data_dir), data_dir), boxes, dialogs};
    template <class T>
    T* get(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
};

// (a) and (c): the user's export, preview on, through the button. A timer
// every 10 ms takes the longest time between its ticks: how long the window
// could not repaint or answer a click.
void ExportThroughWindow(benchmark::State& state) {
    const ExportRequest request = bench::whole_rom_export(data_files(), 32);
    Window window;
    window.form.show();
    window.get<QLineEdit>("Text1")->setText(ui::to_qt(request.rom.u16string()));
    window.get<QRadioButton>("Option3")->click();
    window.get<QLineEdit>("Text2")->setText(ui::to_qt(request.tables.double_table.u16string()));
    window.get<QLineEdit>("Text13")->setText(ui::to_qt(request.tables.single_table.u16string()));
    ui::set_editor_text(*window.get<QPlainTextEdit>("Text12"), request.tables.double_filter.text);
    ui::set_editor_text(*window.get<QPlainTextEdit>("Text6"), request.tables.single_filter.text);
    window.get<QCheckBox>("Check2")->setChecked(true);
    window.get<QCheckBox>("Check3")->setChecked(true);
    window.get<QLineEdit>("Text4")->setText(ui::to_qt(request.start));
    window.get<QLineEdit>("Text5")->setText(ui::to_qt(request.end));
    window.get<QCheckBox>("Check4")->setChecked(true);
    settle(100);
    double longest_gap = 0, first_peak = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        double gap = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            gap = std::max(gap, static_cast<double>(now - last) / 1e6);
            last = now;
        });
        clock.start();
        ticker.start();
        settle(30);
        window.get<QPushButton>("gettext")->click();
        window.form.wait_for_command();
        settle(200);  // the new text's first paint
        ticker.stop();
        longest_gap = std::max(longest_gap, gap);
        if (first_peak == 0) first_peak = peak_mib();
        if (window.boxes.shown.empty() || window.boxes.shown.back().text != QStringLiteral("文本已顺利导出"))
            state.SkipWithError("the export did not succeed");
    }
    state.counters["max_event_gap_ms"] = longest_gap;
    state.counters["peak_mib_first_export"] = first_peak;
    state.counters["peak_mib"] = peak_mib();
}
BENCHMARK(ExportThroughWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// (b): from the scan's text to text9 showing it: the editor's document built
// on a worker, then handed to text9 and painted. gui_ms is the part on the
// window's thread.
void SetExportIntoText9(benchmark::State& state) {
    const std::u16string text = script_text();
    Window window;
    window.form.show();
    window.get<QCheckBox>("Check4")->setChecked(true);
    QPlainTextEdit* text9 = window.get<QPlainTextEdit>("text9");
    double gui_ms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::u16string scanned = text;
        state.ResumeTiming();
        std::unique_ptr<QTextDocument> document;
        std::thread worker([&, font = text9->font(), owner = QThread::currentThread()] {
            document = ui::editor_document(std::move(scanned), font, owner);
        });
        worker.join();
        QElapsedTimer clock;
        clock.start();
        ui::show_document(*text9, std::move(document));
        QApplication::processEvents();
        window.form.repaint();
        gui_ms += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["gui_ms"] = gui_ms / static_cast<double>(state.iterations());
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

// The check's and import's script out of text10: the raw text taken on the
// window's thread (gui_ms), converted to the core's lines on the worker.
void ReadText10Back(benchmark::State& state) {
    const std::u16string text = script_text();
    Window window;
    QPlainTextEdit* text10 = window.get<QPlainTextEdit>("text10");
    ui::show_document(*text10, ui::editor_document(text, text10->font(), QThread::currentThread()));
    double gui_ms = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const QString raw = text10->document()->toRawText();
        gui_ms += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        std::u16string back = ui::core_text(raw);
        if (back.size() < text.size()) state.SkipWithError("text10 lost text");
        benchmark::DoNotOptimize(back);
    }
    state.counters["gui_ms"] = gui_ms / static_cast<double>(state.iterations());
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
