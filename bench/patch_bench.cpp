// Release patches on the benchmark data: a BPS of the ROM with its pointer
// table and free space (rom_pointers.gba) against a translated twin, made
// and applied, each as a ratio to the floor of reading both images once,
// measured in the same run; and the whole commands with their checksums and
// the safe write of the result, measured.
//
// The twin: one record in ten changed; of those, every other one rewritten
// in place with new double-byte text of the same length, the rest moved
// into the free space one character longer, with its pointer rewritten and
// its old place left as it was.

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "bench_data.hpp"
#include "core/commands/patch_command.hpp"
#include "core/files/files.hpp"
#include "core/patch/bps.hpp"
#include "core/patch/patch_file.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/pointers/pointer_value.hpp"

namespace {

using namespace quillmere;
namespace fs = std::filesystem;

bench::DataFiles data_files() {
    const char* dir = std::getenv("QUILLMERE_BENCH_DATA");
    return bench::DataFiles{dir ? dir : "build/bench/data"};
}

fs::path twin_path(const bench::DataFiles& files) { return files.dir / "rom_pointers_translated.gba"; }
fs::path scratch(const char* name) { return fs::temp_directory_path() / name; }

// The records of the export script: offset and length, in order.
std::vector<std::pair<std::uint64_t, std::uint64_t>> records_of(const fs::path& script) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> records;
    const auto bytes = *files::read_bytes(script);
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        if (end > at) {
            std::uint64_t offset = 0, length = 0;
            std::size_t i = at;
            for (; bytes[i] != ','; ++i) offset = offset * 16 + (bytes[i] <= '9' ? bytes[i] - '0' : bytes[i] - 'A' + 10);
            for (++i; bytes[i] != ','; ++i) length = length * 10 + (bytes[i] - '0');
            records.emplace_back(offset, length);
        }
        at = end + 1;
    }
    return records;
}

// Makes the twin once; later runs reuse it. The counters of how much changed.
struct Twin {
    std::uint64_t changed_bytes = 0;
};

Twin make_twin(const bench::DataFiles& files) {
    const auto original = *files::read_bytes(files.pointer_rom());
    const auto records = records_of(files.script());
    bench::Bytes twin(original.begin(), original.end());
    std::mt19937 random(25);
    std::uint64_t free = original.size() - bench::kPointerFreeBytes;
    const std::uint64_t table = std::uint64_t{32} << 20;  // the pointers follow the 32 MiB ROM, one per record
    for (std::size_t k = 0; k < records.size(); k += 10) {
        const auto [offset, length] = records[k];
        if (length < 2) continue;
        if ((k / 10) % 2 == 0) {
            // New text over all but the last byte (the end code, mostly).
            for (std::uint64_t i = 0; i + 1 < length; i += 2) {
                twin[offset + i] = static_cast<std::uint8_t>(0xB0 + random() % 0x48);
                if (i + 2 < length) twin[offset + i + 1] = static_cast<std::uint8_t>(0xA1 + random() % 0x5E);
            }
        } else if (free + length + 2 <= original.size()) {
            twin[free] = static_cast<std::uint8_t>(0xB0 + random() % 0x48);
            twin[free + 1] = static_cast<std::uint8_t>(0xA1 + random() % 0x5E);
            std::memcpy(twin.data() + free + 2, original.data() + offset, length);
            write_value(static_cast<std::uint32_t>(free + bench::kPointerBase), 4, ByteOrder::little,
                        twin.data() + table + 4 * k);
            free += length + 2;
        }
    }
    if (!fs::exists(twin_path(files))) static_cast<void>(files::write_bytes(twin_path(files), twin));
    Twin counts;
    for (std::size_t i = 0; i < twin.size(); ++i) counts.changed_bytes += twin[i] != original[i];
    return counts;
}

const Twin& twin(const bench::DataFiles& files) {
    static const Twin made = make_twin(files);
    return made;
}

// The floor: an image read once, as the commands read their inputs
// (mapped, its pages brought in at once), every byte summed.
std::uint64_t read_once(const fs::path& path) {
    auto file = platform::MappedFile::open(path);
    const std::span<const std::uint8_t> bytes = file->bytes();
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        sum += word;
    }
    return sum;
}

void PatchFloorRead(benchmark::State& state) {
    const auto files = data_files();
    twin(files);
    for (auto _ : state) {
        benchmark::DoNotOptimize(read_once(files.pointer_rom()));
        benchmark::DoNotOptimize(read_once(twin_path(files)));
    }
}
BENCHMARK(PatchFloorRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// The patch made from the two mapped images and written, as the command
// does, without the checksums for the release notes.
void PatchCreateBps(benchmark::State& state) {
    const auto files = data_files();
    const Twin& counts = twin(files);
    std::size_t size = 0;
    for (auto _ : state) {
        auto original = platform::MappedFile::open(files.pointer_rom());
        auto modified = platform::MappedFile::open(twin_path(files));
        const patch::Bytes made = patch::create_bps(original->bytes(), modified->bytes());
        if (!files::write_bytes(scratch("quillmere_bench.bps"), made)) state.SkipWithError("the patch was not written");
        size = made.size();
    }
    state.counters["patch_bytes"] = static_cast<double>(size);
    state.counters["changed_bytes"] = static_cast<double>(counts.changed_bytes);
}
BENCHMARK(PatchCreateBps)->Unit(benchmark::kMillisecond)->UseRealTime();

// The patch applied to the mapped original, its checksums checked, the
// result in memory.
void PatchApplyBps(benchmark::State& state) {
    const auto files = data_files();
    twin(files);
    {
        auto original = platform::MappedFile::open(files.pointer_rom());
        auto modified = platform::MappedFile::open(twin_path(files));
        static_cast<void>(files::write_bytes(scratch("quillmere_bench.bps"),
                                             patch::create_bps(original->bytes(), modified->bytes())));
    }
    for (auto _ : state) {
        auto original = platform::MappedFile::open(files.pointer_rom());
        auto patch_file = platform::MappedFile::open(scratch("quillmere_bench.bps"));
        auto applied = patch::apply_patch(original->bytes(), patch_file->bytes());
        if (!applied) state.SkipWithError("the patch did not apply");
        benchmark::DoNotOptimize(applied);
    }
}
BENCHMARK(PatchApplyBps)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole commands: the checksums of both images and the safe write.
void PatchCreateCommand(benchmark::State& state) {
    const auto files = data_files();
    twin(files);
    PatchCreateRequest request;
    request.original = files.pointer_rom();
    request.modified = twin_path(files);
    request.out = scratch("quillmere_bench.bps");
    for (auto _ : state)
        if (run_patch_create(request).failed()) state.SkipWithError("patch create failed");
}
BENCHMARK(PatchCreateCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

void PatchApplyCommand(benchmark::State& state) {
    const auto files = data_files();
    twin(files);
    PatchApplyRequest request;
    request.original = files.pointer_rom();
    request.patch = scratch("quillmere_bench.bps");
    request.out = scratch("quillmere_bench_result.gba");
    for (auto _ : state)
        if (run_patch_apply(request).failed()) state.SkipWithError("patch apply failed");
    fs::remove(request.out);
}
BENCHMARK(PatchApplyCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
