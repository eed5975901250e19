#include "core/pointers/pointer_scan.hpp"

#include <algorithm>

#include "core/pointers/pointer_value.hpp"

namespace quillmere {

ScanResult scan_pointers(std::span<const std::uint8_t> rom, std::span<const std::uint32_t> targets,
                         const ScanLayout& layout) {
    std::vector<std::uint32_t> sorted(targets.begin(), targets.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<bool> reached(sorted.size(), false);

    // Most values a ROM holds point nowhere: a bit per ROM offset answers
    // those at once, the sorted list only the few that point past the ROM.
    std::vector<bool> is_target(rom.size(), false);
    bool targets_past_rom = false;
    for (std::uint32_t target : sorted) {
        if (target < rom.size())
            is_target[target] = true;
        else
            targets_past_rom = true;
    }

    const RomShape shape = RomShape::of(rom);
    const Pointer form{0, layout.size, layout.order, layout.base, layout.map};
    ScanResult result;
    const std::uint64_t step = std::max<std::uint32_t>(layout.align, 1);
    for (std::uint64_t at = 0; at + layout.size <= rom.size(); at += step) {
        const auto target = target_of(form, read_value(rom.data() + at, layout.size, layout.order), shape);
        if (!target) continue;
        if (*target < rom.size() ? !is_target[*target] : !targets_past_rom) continue;
        const auto found = std::lower_bound(sorted.begin(), sorted.end(), *target);
        if (found == sorted.end() || *found != *target) continue;
        reached[static_cast<std::size_t>(found - sorted.begin())] = true;
        Pointer pointer = form;
        pointer.address = static_cast<std::uint32_t>(at);
        result.pointers.push_back(pointer);
    }
    for (std::size_t i = 0; i < sorted.size(); ++i)
        if (!reached[i]) result.unreached.push_back(sorted[i]);
    return result;
}

Ranked rank_pointers(std::span<const Pointer> pointers, std::span<const std::uint64_t> targets, const RankRules& rules) {
    const std::size_t n = pointers.size();
    auto index_of = [&](std::uint64_t address) -> std::size_t {
        auto it = std::lower_bound(pointers.begin(), pointers.end(), address,
                                   [](const Pointer& p, std::uint64_t a) { return p.address < a; });
        return it != pointers.end() && it->address == address ? static_cast<std::size_t>(it - pointers.begin()) : n;
    };
    // Every maximal run at every stride.
    struct Run {
        std::size_t first;
        std::uint32_t stride, count;
    };
    std::vector<Run> runs;
    const std::uint32_t shortest = pointers.empty() ? 1 : std::max<std::uint32_t>(pointers.front().size, 1);
    for (std::uint32_t stride = shortest; stride <= rules.max_stride; ++stride)
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t at = pointers[i].address;
            if (at >= stride && index_of(at - stride) != n) continue;  // not the first of its run
            std::uint32_t count = 1;
            while (index_of(at + std::uint64_t{count} * stride) != n) ++count;
            if (count >= rules.min_run) runs.push_back({i, stride, count});
        }
    std::stable_sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
        return a.count != b.count ? a.count > b.count : a.stride < b.stride;
    });

    // The longest runs first; what a longer run took leaves the rest of a
    // shorter one in pieces, each a table if it is still long enough.
    Ranked ranked;
    std::vector<bool> taken(n, false);
    auto take = [&](const std::vector<std::size_t>& piece, std::uint32_t stride) {
        if (piece.size() < rules.min_run) return;
        bool different = false;
        for (std::size_t k : piece) different = different || targets[k] != targets[piece.front()];
        if (!different) return;
        for (std::size_t k : piece) taken[k] = true;
        ranked.tables.push_back({pointers[piece.front()].address, stride, static_cast<std::uint32_t>(piece.size())});
    };
    for (const Run& run : runs) {
        std::vector<std::size_t> piece;
        for (std::uint32_t k = 0; k < run.count; ++k) {
            const std::size_t member = index_of(pointers[run.first].address + std::uint64_t{k} * run.stride);
            if (taken[member]) {
                take(piece, run.stride);
                piece.clear();
            } else {
                piece.push_back(member);
            }
        }
        take(piece, run.stride);
    }
    std::sort(ranked.tables.begin(), ranked.tables.end(),
              [](const FoundTable& a, const FoundTable& b) { return a.start < b.start; });
    for (std::size_t i = 0; i < n; ++i)
        if (!taken[i]) ranked.alone.push_back(i);
    return ranked;
}

}  // namespace quillmere
