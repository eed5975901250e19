// Export, table loading, check and import on the generated data, each
// reporting bytes per second; and, side by side, the literal character lookup
// (position of the character in the joined table values, found by a linear
// search) over the same script; and the floor (floor.hpp), the simplest
// program doing the export's and the import's work, to compare them with.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bench_data.hpp"
#include "floor.hpp"
#include "tight_floor.hpp"
#include "core/commands/export_command.hpp"
#include "core/commands/script_commands.hpp"
#include "core/encoding/code_line.hpp"
#include "core/encoding/code_table.hpp"
#include "core/encoding/hex.hpp"
#include "core/import/rom_file.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"
#include "core/platform/mapped_file.hpp"

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
        CommandResult<ExportPayload> outcome = run_export(request);
        if (!outcome.payload.text) state.SkipWithError("export failed");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(mebibytes << 20));
}
BENCHMARK(Export)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond)->UseRealTime();

// The command line's export with --out: the file's bytes streamed into the
// file that replaces the old one, synced and renamed.
void ExportToFile(benchmark::State& state) {
    const auto files = data_files();
    const std::size_t mebibytes = static_cast<std::size_t>(state.range(0));
    ExportRequest request = bench::whole_rom_export(files, mebibytes);
    request.preview = false;
    request.name = u"bench";
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "quillmere_bench_export.txt";
    for (auto _ : state) {
        CommandResult<ExportPayload> outcome = export_to_file(request, out);
        if (!outcome.payload.written) state.SkipWithError("export failed");
        benchmark::DoNotOptimize(outcome);
    }
    std::filesystem::remove(out);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(mebibytes << 20));
}
BENCHMARK(ExportToFile)->Arg(4)->Arg(32)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    request.tables.mode = RomMode::both;
    request.tables.double_table = files.double_table();
    request.tables.single_table = files.single_table();
    request.tables.double_filter = {bench::double_byte_filter_text(), true};
    request.tables.single_filter = {bench::single_byte_filter_text(), true};
    return request;
}

void Check(benchmark::State& state) {
    const auto files = data_files();
    const CheckRequest request = check_request(files);
    for (auto _ : state) {
        CommandResult<ScriptPayload> outcome = run_check(request);
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
        CommandResult<ScriptPayload> outcome = run_check(request);
        if (outcome.payload.entry_failures.empty()) state.SkipWithError("no failing entry was reported");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.broken_script()));
}
BENCHMARK(CheckAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// A copy of the ROM to import into, already on the disk: the import's own
// sync then waits for the import's writes only.
void fresh_copy(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    const int fd = ::open(to.c_str(), O_RDWR);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The script imported into a copy of its own ROM (arg 0: every byte stays
// as it was, so the import writes nothing), or into a ROM of zeros (arg 1:
// every byte the entries cover changes and is written and synced, as in the
// first import of a translation).
void Import(benchmark::State& state) {
    const auto files = data_files();
    const bool blank = state.range(0) == 1;
    ImportRequest request;
    static_cast<CheckRequest&>(request) = check_request(files);
    request.rom = files.dir / (blank ? "import_blank_target.gba" : "import_target.gba");
    const std::vector<std::uint8_t> zeros(blank ? std::filesystem::file_size(files.rom(32)) : 0);
    for (auto _ : state) {
        state.PauseTiming();
        if (!blank)
            fresh_copy(files.rom(32), request.rom);
        else if (!files::write_bytes(request.rom, zeros))
            state.SkipWithError("no blank ROM");
        state.ResumeTiming();
        CommandResult<ScriptPayload> outcome = run_import(request);
        if (outcome.message.text != u"文本导入成功") state.SkipWithError("the script did not import");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.script()));
}
BENCHMARK(Import)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Calls f(offset, length, text) for every record of an export file, the
// text with its record end.
template <class F>
void for_each_record(const std::vector<std::uint8_t>& script, F&& f) {
    const std::string_view all(reinterpret_cast<const char*>(script.data()), script.size());
    for (std::size_t at = 0; at < all.size();) {
        std::size_t end = all.find("\r\n\r\n", at);
        end = end == std::string_view::npos ? all.size() : end + 4;
        const std::string_view record = all.substr(at, end - at);
        at = end;
        const std::size_t first = record.find(',');
        const std::size_t second = record.find(',', first + 1);
        if (second == std::string_view::npos) continue;
        f(std::stoul(std::string(record.substr(0, first)), nullptr, 16),
          std::stoul(std::string(record.substr(first + 1, second - first - 1))), record.substr(second + 1));
    }
}

// The ROM writer alone, with one patch per record of the script as the
// import hands them over: the ROM's own bytes (arg 0), or every byte changed
// (arg 1).
void RomWrite(benchmark::State& state) {
    const auto files = data_files();
    const auto rom = bench::floor::read_file(files.rom(32));
    const auto script = bench::floor::read_file(files.script());
    std::vector<std::uint8_t> bytes;
    RomPatches patches;
    for_each_record(script, [&](std::size_t offset, std::size_t length, std::string_view) {
        bytes.assign(rom.begin() + static_cast<std::ptrdiff_t>(offset),
                     rom.begin() + static_cast<std::ptrdiff_t>(offset + length));
        if (state.range(0) == 1)
            for (auto& byte : bytes) byte ^= 1;
        patches.add(offset, bytes);
    });
    const auto target = files.dir / "rom_write_target.gba";
    for (auto _ : state) {
        state.PauseTiming();
        fresh_copy(files.rom(32), target);
        state.ResumeTiming();
        auto file = RomFile::open(target);
        if (!file || !file->write(patches)) state.SkipWithError("the ROM was not written");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rom.size()));
    state.counters["patches"] = static_cast<double>(patches.count());
}
BENCHMARK(RomWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
        fresh_copy(files.pointer_rom(), request.rom);
        state.ResumeTiming();
        CommandResult<ScriptPayload> outcome = run_import(request);
        if (outcome.message.text != u"文本导入成功") state.SkipWithError("the script did not import");
        if (outcome.payload.moves.empty()) state.SkipWithError("nothing moved");
        benchmark::DoNotOptimize(outcome);
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.lengthened_script()));
}
BENCHMARK(ImportMovingEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

// The joined values of a table file, in file order.
std::u16string joined_values(const std::filesystem::path& path) {
    std::u16string joined;
    const auto lines = files::read_text_lines(path);
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
    const auto file = platform::MappedFile::open(files.script());
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

// The floor's dump and load. Each first checks, outside the timed part,
// that it does the tool's work: the dump's text is the export's without the
// ADDRESS and LENGTH fields, and the load writes exactly the ROM's bytes at
// every byte the script's records cover.

bench::floor::Sources floor_sources(const bench::DataFiles& files) {
    auto text = [](const std::filesystem::path& path) {
        const auto bytes = bench::floor::read_file(path);
        return std::string(bytes.begin(), bytes.end());
    };
    return {files.single_table(), files.double_table(), text(files.single_filter()), text(files.double_filter())};
}

// The records of an export file with ADDRESS "," LENGTH "," taken off; and
// the sum of their LENGTH fields.
std::string record_texts(const std::vector<std::uint8_t>& script, std::size_t& covered) {
    std::string texts;
    texts.reserve(script.size());
    covered = 0;
    for_each_record(script, [&](std::size_t, std::size_t length, std::string_view text) {
        covered += length;
        texts += text;
    });
    return texts;
}

void FloorDump(benchmark::State& state) {
    const auto files = data_files();
    const auto tables = bench::floor::dump_tables(floor_sources(files));
    const auto out = files.dir / "floor_dump.txt";
    if (!bench::floor::dump(tables, files.rom(32), out)) {
        state.SkipWithError("the floor's dump failed");
        return;
    }
    std::size_t covered = 0;
    const std::string expected = record_texts(bench::floor::read_file(files.script()), covered);
    const auto dumped = bench::floor::read_file(out);
    // The dump also keeps the last line, which no end closes and the export drops.
    if (dumped.size() < expected.size() ||
        std::memcmp(dumped.data(), expected.data(), expected.size()) != 0) {
        state.SkipWithError("the floor's dump differs from the export");
        return;
    }
    for (auto _ : state) {
        if (!bench::floor::dump(tables, files.rom(32), out)) state.SkipWithError("the floor's dump failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::size_t{32} << 20));
    state.counters["output_bytes"] = static_cast<double>(dumped.size());
}
BENCHMARK(FloorDump)->Unit(benchmark::kMillisecond)->UseRealTime();

void FloorLoad(benchmark::State& state) {
    const auto files = data_files();
    const auto tables = bench::floor::load_tables(floor_sources(files));
    const auto out = files.dir / "floor_load.gba";
    const auto rom = bench::floor::read_file(files.rom(32));
    const auto script = bench::floor::read_file(files.script());
    // Loaded over two different fillings: the bytes the load wrote are those
    // that agree, and they must be the ROM's, as many as the records cover.
    std::vector<std::uint8_t> zeros(rom.size(), 0x00), ones(rom.size(), 0xFF);
    std::size_t written_zeros = 0, written_ones = 0, covered = 0;
    record_texts(script, covered);
    if (!bench::floor::load_into(tables, script, zeros, written_zeros) ||
        !bench::floor::load_into(tables, script, ones, written_ones)) {
        state.SkipWithError("the floor's load failed");
        return;
    }
    std::size_t agreeing = 0;
    bool same = true;
    for (std::size_t i = 0; i < rom.size(); ++i)
        if (zeros[i] == ones[i]) {
            ++agreeing;
            same = same && zeros[i] == rom[i];
        }
    if (!same || agreeing != covered || written_zeros != covered) {
        state.SkipWithError("the floor's load does not reproduce the ROM's text bytes");
        return;
    }
    for (auto _ : state) {
        if (!bench::floor::load(tables, files.script(), files.rom(32), out)) state.SkipWithError("the floor's load failed");
    }
    if (bench::floor::read_file(out) != rom) state.SkipWithError("the floor's load changed the ROM");
    state.SetBytesProcessed(state.iterations() * bytes_in(files.script()));
}
BENCHMARK(FloorLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tight floor (tight_floor.hpp), checked first, outside the timed part,
// to do the same work: the scan passes the script the check passes, the
// load writes the ROM's bytes wherever the records lie, and the dump gives
// the floor's dump.

void TightScan(benchmark::State& state) {
    const auto files = data_files();
    const auto tables = bench::tight::tables(floor_sources(files));
    if (!bench::tight::scan_file(tables, files.script()) || bench::tight::scan_file(tables, files.broken_script())) {
        state.SkipWithError("the tight floor's scan does not tell the script from the broken one");
        return;
    }
    for (auto _ : state)
        if (!bench::tight::scan_file(tables, files.script())) state.SkipWithError("the tight scan failed");
    state.SetBytesProcessed(state.iterations() * bytes_in(files.script()));
}
BENCHMARK(TightScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// Into a ROM of zeros, as Import/1, so that every byte the records cover
// changes and is written and synced.
void TightLoad(benchmark::State& state) {
    const auto files = data_files();
    const auto tables = bench::tight::tables(floor_sources(files));
    const auto rom = bench::floor::read_file(files.rom(32));
    const auto script = bench::floor::read_file(files.script());
    std::vector<std::uint8_t> zeros(rom.size(), 0x00), ones(rom.size(), 0xFF);
    std::size_t covered = 0;
    record_texts(script, covered);
    if (!bench::tight::load_into(tables, script, zeros) || !bench::tight::load_into(tables, script, ones)) {
        state.SkipWithError("the tight floor's load failed");
        return;
    }
    std::size_t agreeing = 0;
    bool same = true;
    for (std::size_t i = 0; i < rom.size(); ++i)
        if (zeros[i] == ones[i]) {
            ++agreeing;
            same = same && zeros[i] == rom[i];
        }
    if (!same || agreeing != covered) {
        state.SkipWithError("the tight floor's load does not reproduce the ROM's text bytes");
        return;
    }
    const auto target = files.dir / "tight_load.gba";
    const std::vector<std::uint8_t> blank(rom.size());
    for (auto _ : state) {
        state.PauseTiming();
        if (!files::write_bytes(target, blank)) state.SkipWithError("no blank ROM");
        state.ResumeTiming();
        if (!bench::tight::load(tables, files.script(), target)) state.SkipWithError("the tight load failed");
    }
    state.SetBytesProcessed(state.iterations() * bytes_in(files.script()));
}
BENCHMARK(TightLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void TightDump(benchmark::State& state) {
    const auto files = data_files();
    const auto tables = bench::floor::dump_tables(floor_sources(files));
    const auto out = files.dir / "tight_dump.txt";
    for (auto _ : state)
        if (!bench::tight::dump(tables, files.rom(32), out)) state.SkipWithError("the tight dump failed");
    std::size_t covered = 0;
    const std::string expected = record_texts(bench::floor::read_file(files.script()), covered);
    const auto dumped = bench::floor::read_file(out);
    if (dumped.size() < expected.size() || std::memcmp(dumped.data(), expected.data(), expected.size()) != 0)
        state.SkipWithError("the tight floor's dump differs from the export");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::size_t{32} << 20));
}
BENCHMARK(TightDump)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
