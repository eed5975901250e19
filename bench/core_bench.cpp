// Export, table loading, check and import on the generated data, each
// reporting bytes per second; and, side by side, the literal character lookup
// (position of the character in the joined table values, found by a linear
// search) over the same script.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench_data.hpp"
#include "core/commands/export_command.hpp"
#include "core/commands/script_commands.hpp"
#include "core/encoding/code_line.hpp"
#include "core/encoding/code_table.hpp"
#include "core/encoding/hex.hpp"
#include "core/text/files.hpp"
#include "core/text/lines.hpp"
#include "core/text/mapped_file.hpp"

namespace {

using namespace quillmere;

bench::DataFiles data_files() {
    const char* dir = std::getenv("QUILLMERE_BENCH_DATA");
    return bench::DataFiles{dir ? dir : "build/bench/data"};
}

std::int64_t bytes_in(const std::filesystem::path& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

void Export(benchmark::State& state) {
    const auto files = data_files();
    const std::size_t mebibytes = static_cast<std::size_t>(state.range(0));
    const ExportRequest request = bench::whole_rom_export(files, mebibytes);
    for (auto _ : state) {
        ExportOutcome outcome = run_export(request);
        if (!outcome.export_text) state.SkipWithError("export failed");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(mebibytes << 20));
}
BENCHMARK(Export)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadLargeTable(benchmark::State& state) {
    const auto path = data_files().large_table();
    for (auto _ : state) {
        auto loaded = loadtlb2(path);
        if (!loaded || loaded->read_error) state.SkipWithError("table did not load");
        benchmark::DoNotOptimize(loaded);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(path));
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(LoadLargeTable)->Unit(benchmark::kMillisecond)->UseRealTime();

CheckRequest check_request(const bench::DataFiles& files) {
    CheckRequest request;
    request.script_file = files.script();
    request.mode = RomMode::both;
    request.double_table = files.double_table();
    request.single_table = files.single_table();
    request.double_filter = {bench::double_byte_filter_text(), true};
    request.single_filter = {bench::single_byte_filter_text(), true};
    return request;
}

void Check(benchmark::State& state) {
    const auto files = data_files();
    const CheckRequest request = check_request(files);
    for (auto _ : state) {
        Outcome outcome = run_check(request);
        if (outcome.message.text != u"此文本为合法文本") state.SkipWithError("the script did not check");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.script()));
}
BENCHMARK(Check)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every failing entry of a script with 1 % of its entries broken.
void CheckAll(benchmark::State& state) {
    const auto files = data_files();
    CheckRequest request = check_request(files);
    request.script_file = files.broken_script();
    request.all_entries = true;
    for (auto _ : state) {
        Outcome outcome = run_check(request);
        if (outcome.entry_failures.empty()) state.SkipWithError("no failing entry was reported");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.broken_script()));
}
BENCHMARK(CheckAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void Import(benchmark::State& state) {
    const auto files = data_files();
    ImportRequest request;
    static_cast<CheckRequest&>(request) = check_request(files);
    request.rom = files.dir / "import_target.gba";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(files.rom(32), request.rom, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        Outcome outcome = run_import(request);
        if (outcome.message.text != u"文本导入成功") state.SkipWithError("the script did not import");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.script()));
}
BENCHMARK(Import)->Unit(benchmark::kMillisecond)->UseRealTime();

// The import of the script with every tenth entry lengthened, each moved
// into the free space and its pointer (one per record) rewritten.
void ImportMovingEntries(benchmark::State& state) {
    const auto files = data_files();
    ImportRequest request;
    static_cast<CheckRequest&>(request) = check_request(files);
    request.script_file = files.lengthened_script();
    request.rom = files.dir / "import_pointers_target.gba";
    const auto rom_size = std::filesystem::file_size(files.pointer_rom());
    RelocationInput relocation;
    relocation.pointer_list = files.pointer_list();
    relocation.free_blocks = {to_hex(static_cast<std::uint32_t>(rom_size - bench::kPointerFreeBytes)) + u"-" +
                              to_hex(static_cast<std::uint32_t>(rom_size - 1))};
    request.relocation = relocation;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(files.pointer_rom(), request.rom, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        Outcome outcome = run_import(request);
        if (outcome.message.text != u"文本导入成功") state.SkipWithError("the script did not import");
        if (outcome.moves.empty()) state.SkipWithError("nothing moved");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.lengthened_script()));
}
BENCHMARK(ImportMovingEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

// The joined values of a table file, in file order.
std::u16string joined_values(const std::filesystem::path& path) {
    std::u16string joined;
    const auto lines = text::read_text_lines(path);
    if (!lines) return joined;
    for (const auto& line : *lines)
        if (auto parts = split_code_line(line)) joined += parts->value;
    return joined;
}

// Measures every entry of the script by finding each plain character's
// position in the joined values, one linear search per character.
void LiteralLookupBaseline(benchmark::State& state) {
    const auto files = data_files();
    const std::u16string single_values = joined_values(files.single_table());
    const std::u16string double_values = joined_values(files.double_table());
    // A prefix keeps the run short; the rate is per byte, so it compares.
    const std::size_t prefix_bytes = 2u << 20;
    const auto file = text::MappedFile::open(files.script());
    const auto bytes = file->bytes();
    const std::u16string script = text::decode_gbk(bytes.first(std::min(bytes.size(), prefix_bytes))).text;
    auto literal_find = [](const std::u16string& values, char16_t c) -> std::size_t {
        for (std::size_t i = 0; i < values.size(); ++i)
            if (values[i] == c) return i + 1;
        return 0;
    };
    for (auto _ : state) {
        std::int64_t total = 0;
        text::for_each_line(script, [&](std::u16string_view line) {
            std::size_t first = line.find(u',');
            if (first == std::u16string_view::npos) return;
            std::size_t second = line.find(u',', first + 1);
            if (second == std::u16string_view::npos) return;
            std::u16string_view field = line.substr(second + 1);
            for (std::size_t i = 0; i < field.size(); ++i) {
                if (field[i] == u'{') {
                    std::size_t close = field.find(u'}', i);
                    if (close == std::u16string_view::npos) break;
                    i = close;
                    continue;
                }
                if (literal_find(single_values, field[i]) != 0) total += 1;
                else if (literal_find(double_values, field[i]) != 0) total += 2;
            }
        });
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(LiteralLookupBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
