// Finding a word without its table over the 32 MiB benchmark ROM: an
// 8-character relative search with one-byte and with two-byte codes, as the
// command runs it (the ROM mapped, searched, the lines made) and as the
// search alone over bytes in memory; and, in the same run, the floor each is
// measured against: one plain pass over the same bytes, summing them, from
// the mapped file and in memory.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "bench_data.hpp"
#include "core/commands/find_command.hpp"
#include "core/find/shape_scan.hpp"
#include "core/platform/mapped_file.hpp"

namespace {

using namespace quillmere;

constexpr std::u16string_view kWord = u"treasure";
constexpr std::size_t kRomBytes = std::size_t{32} << 20;

bench::DataFiles data_files() {
    const char* dir = std::getenv("QUILLMERE_BENCH_DATA");
    return bench::DataFiles{dir ? dir : "build/bench/data"};
}

find::CodeForm form_of(std::int64_t width) { return {static_cast<int>(width), find::ByteOrder::little}; }

std::uint64_t sum_of(std::span<const std::uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), std::uint64_t{0});
}

// The floor of the command: the ROM mapped and every byte added up.
void FloorPassOverFile(benchmark::State& state) {
    const auto path = data_files().rom(32);
    for (auto _ : state) {
        auto rom = platform::MappedFile::open(path);
        if (!rom) {
            state.SkipWithError("the ROM could not be mapped");
            return;
        }
        benchmark::DoNotOptimize(sum_of(rom->bytes()));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kRomBytes));
}
BENCHMARK(FloorPassOverFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// quillmere-cli find relative --text treasure [--width 2] on the ROM file.
void FindRelativeCommand(benchmark::State& state) {
    FindRequest request;
    request.mode = FindMode::relative;
    request.rom = data_files().rom(32);
    request.text = std::u16string(kWord);
    request.form = form_of(state.range(0));
    std::size_t places = 0;
    for (auto _ : state) {
        const auto result = run_find(request);
        if (result.failed()) state.SkipWithError("the search was refused");
        places = result.payload.total;
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kRomBytes));
    state.counters["places"] = static_cast<double>(places);
}
BENCHMARK(FindRelativeCommand)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The ROM in memory, with the word planted at three places (one of them odd)
// in both widths' codes, which the search must find.
struct PlantedRom {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> places;
};

PlantedRom planted_rom(find::CodeForm form, const find::ShapeQuery& query) {
    PlantedRom rom;
    auto mapped = platform::MappedFile::open(data_files().rom(32));
    if (!mapped) return rom;
    rom.bytes.assign(mapped->bytes().begin(), mapped->bytes().end());
    for (std::size_t at : {std::size_t{0x1001}, std::size_t{0x800000}, kRomBytes - 64}) {
        std::size_t to = at;
        for (const find::Slot& slot : query.slots) {
            const auto code = static_cast<std::uint32_t>(0x141 + slot.value);
            rom.bytes[to++] = static_cast<std::uint8_t>(code);
            if (form.width == 2) rom.bytes[to++] = static_cast<std::uint8_t>(code >> 8);
        }
        rom.places.push_back(at);
    }
    return rom;
}

void FloorPassInMemory(benchmark::State& state) {
    auto mapped = platform::MappedFile::open(data_files().rom(32));
    if (!mapped) {
        state.SkipWithError("the ROM could not be mapped");
        return;
    }
    const std::vector<std::uint8_t> rom(mapped->bytes().begin(), mapped->bytes().end());
    for (auto _ : state) benchmark::DoNotOptimize(sum_of(rom));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kRomBytes));
}
BENCHMARK(FloorPassInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void FindRelativeInMemory(benchmark::State& state) {
    const find::CodeForm form = form_of(state.range(0));
    const auto query = find::relative_query(kWord, find::Sequence::latin());
    const PlantedRom rom = planted_rom(form, *query);
    if (rom.bytes.size() != kRomBytes) {
        state.SkipWithError("the ROM could not be read");
        return;
    }
    const find::Stretch whole{0, rom.bytes.size() - 1};
    const find::Hits check = find::find_shapes(rom.bytes, *query, form, whole, 1000);
    for (std::size_t place : rom.places)
        if (std::find(check.offsets.begin(), check.offsets.end(), place) == check.offsets.end()) {
            state.SkipWithError("a planted word was not found");
            return;
        }
    for (auto _ : state) benchmark::DoNotOptimize(find::find_shapes(rom.bytes, *query, form, whole, 100));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kRomBytes));
    state.counters["places"] = static_cast<double>(check.total);
}
BENCHMARK(FindRelativeInMemory)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
