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

    ScanResult result;
    const std::uint64_t step = std::max<std::uint32_t>(layout.align, 1);
    for (std::uint64_t at = 0; at + layout.size <= rom.size(); at += step) {
        const auto target = target_of(read_value(rom.data() + at, layout.size, layout.order), layout.base);
        if (!target) continue;
        if (*target < rom.size() ? !is_target[*target] : !targets_past_rom) continue;
        const auto found = std::lower_bound(sorted.begin(), sorted.end(), *target);
        if (found == sorted.end() || *found != *target) continue;
        reached[static_cast<std::size_t>(found - sorted.begin())] = true;
        result.pointers.push_back(Pointer{static_cast<std::uint32_t>(at), layout.size, layout.order, layout.base});
    }
    for (std::size_t i = 0; i < sorted.size(); ++i)
        if (!reached[i]) result.unreached.push_back(sorted[i]);
    return result;
}

}  // namespace quillmere
