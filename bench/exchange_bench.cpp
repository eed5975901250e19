// The exchange of the 32 MiB ROM's script (with itself as the translation,
// so every unit has a target) to and from each format, and the floor of
// each: reading the same input files and writing the same output bytes,
// synced, measured in the same run.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench_data.hpp"
#include "core/commands/exchange_command.hpp"
#include "core/files/files.hpp"

namespace {

using namespace quillmere;

bench::DataFiles data_files() {
    const char* dir = std::getenv("QUILLMERE_BENCH_DATA");
    return bench::DataFiles{dir ? dir : "build/bench/data"};
}

constexpr const char* kNames[] = {"po", "csv", "json"};

exchange::Format format_of(std::int64_t arg) { return static_cast<exchange::Format>(arg); }

std::filesystem::path unit_file(const bench::DataFiles& files, std::int64_t arg) {
    return files.dir / (std::string("exchange.") + kNames[arg]);
}

ExchangeExportRequest export_request(const bench::DataFiles& files, std::int64_t arg) {
    ExchangeExportRequest request;
    request.script = files.script();
    request.translation = files.script();
    request.format = format_of(arg);
    request.out = unit_file(files, arg);
    return request;
}

ExchangeImportRequest import_request(const bench::DataFiles& files, std::int64_t arg) {
    ExchangeImportRequest request;
    request.from = unit_file(files, arg);
    request.format = format_of(arg);
    request.script = files.script();
    request.out = files.dir / "exchange_translated.txt";
    return request;
}

// ---- the floor: plain reads and writes of the same bytes

std::vector<char> read_whole(const std::filesystem::path& path) {
    std::vector<char> bytes(std::filesystem::file_size(path));
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (fd >= 0) ::close(fd);
    bytes.resize(done);
    return bytes;
}

bool write_synced(const std::filesystem::path& path, const std::vector<char>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, std::min(kChunk, bytes.size() - done));
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// Reads every input, then writes `output` (read before the timing).
void floor_run(benchmark::State& state, const std::vector<std::filesystem::path>& inputs,
               const std::filesystem::path& made, const std::filesystem::path& out) {
    const std::vector<char> output = read_whole(made);
    for (auto _ : state) {
        for (const auto& input : inputs) benchmark::DoNotOptimize(read_whole(input).data());
        if (!write_synced(out, output)) state.SkipWithError("the floor could not write");
    }
    std::filesystem::remove(out);
}

// ---- the exchange

void ExchangeExport(benchmark::State& state) {
    const auto files = data_files();
    const ExchangeExportRequest request = export_request(files, state.range(0));
    for (auto _ : state) {
        const auto result = run_exchange_export(request);
        if (result.failed()) state.SkipWithError("the export failed");
        state.counters["units"] = static_cast<double>(result.payload.units);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(files.script())));
}
BENCHMARK(ExchangeExport)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs after the export of the same format, whose file it reads. Checked
// once first: the script written back is the script, byte for byte.
void ExchangeImport(benchmark::State& state) {
    const auto files = data_files();
    const ExchangeImportRequest request = import_request(files, state.range(0));
    if (run_exchange_import(request).failed() || read_whole(request.out) != read_whole(files.script())) {
        state.SkipWithError("the script did not come back byte for byte");
        return;
    }
    for (auto _ : state)
        if (run_exchange_import(request).failed()) state.SkipWithError("the import failed");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(files.script())));
}
BENCHMARK(ExchangeImport)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The export's floor: both scripts read, the exchange file's bytes written.
void ExchangeExportFloor(benchmark::State& state) {
    const auto files = data_files();
    const std::filesystem::path made = unit_file(files, state.range(0));
    floor_run(state, {files.script(), files.script()}, made, files.dir / "exchange_floor.out");
}
BENCHMARK(ExchangeExportFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The import's floor: the exchange file and the script read, the script's bytes written.
void ExchangeImportFloor(benchmark::State& state) {
    const auto files = data_files();
    floor_run(state, {unit_file(files, state.range(0)), files.script()}, files.script(),
              files.dir / "exchange_floor.out");
}
BENCHMARK(ExchangeImportFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
