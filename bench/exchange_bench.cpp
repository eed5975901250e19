// The exchange of the 32 MiB ROM's script (with itself as the translation,
// so every unit has a target) to and from each format, each against its
// floor: reading the same input files and writing the same output bytes,
// synced, run alternately with it.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
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

// The floor: every input read, then `output` (read before the timing)
// written and synced.
bool floor_run(const std::vector<std::filesystem::path>& inputs, const std::vector<char>& output,
               const std::filesystem::path& out) {
    for (const auto& input : inputs) benchmark::DoNotOptimize(read_whole(input).data());
    return write_synced(out, output);
}

double seconds_of(const auto& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration runs the floor and then the command, so both meet the same
// load of the machine; the time reported is the command's, and the counters
// give the floor's and the ratio of the two sums.
void measure(benchmark::State& state, const std::vector<std::filesystem::path>& inputs,
             const std::filesystem::path& made, const auto& command) {
    const auto files = data_files();
    const std::vector<char> output = read_whole(made);
    const std::filesystem::path floor_out = files.dir / "exchange_floor.out";
    double floor_total = 0, command_total = 0;
    for (auto _ : state) {
        bool ok = true;
        floor_total += seconds_of([&] { ok = floor_run(inputs, output, floor_out); });
        const double seconds = seconds_of([&] { ok = command() && ok; });
        command_total += seconds;
        state.SetIterationTime(seconds);
        if (!ok) state.SkipWithError("the floor or the command failed");
    }
    std::filesystem::remove(floor_out);
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floor_total / iterations * 1e3;
    state.counters["ratio"] = floor_total > 0 ? command_total / floor_total : 0;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(files.script())));
}

// Both scripts read, the exchange file written.
void ExchangeExport(benchmark::State& state) {
    const auto files = data_files();
    const ExchangeExportRequest request = export_request(files, state.range(0));
    if (run_exchange_export(request).failed()) {
        state.SkipWithError("the export failed");
        return;
    }
    measure(state, {files.script(), files.script()}, request.out, [&] { return !run_exchange_export(request).failed(); });
}
BENCHMARK(ExchangeExport)->DenseRange(0, 2)->Iterations(3)->Unit(benchmark::kMillisecond)->UseManualTime();

// The exchange file and the script read, the script written back. Runs after
// the export of the same format, whose file it reads; checked once first:
// the script written back is the script, byte for byte.
void ExchangeImport(benchmark::State& state) {
    const auto files = data_files();
    const ExchangeImportRequest request = import_request(files, state.range(0));
    if (run_exchange_import(request).failed() || read_whole(request.out) != read_whole(files.script())) {
        state.SkipWithError("the script did not come back byte for byte");
        return;
    }
    measure(state, {request.from, files.script()}, files.script(), [&] { return !run_exchange_import(request).failed(); });
}
BENCHMARK(ExchangeImport)->DenseRange(0, 2)->Iterations(3)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
