#pragma once
// Finding the pointers to known offsets: every place of the ROM whose value,
// read as a pointer of a given form, points at one of them; then which of
// those places form tables.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/pointers/pointer_list.hpp"

namespace quillmere {

struct ScanLayout {
    std::uint8_t size = 4;
    ByteOrder order = ByteOrder::little;
    std::int64_t base = 0;
    std::uint32_t align = 1;  // only offsets that are multiples of it; at least 1
    AddressMap map{};
};

struct ScanResult {
    std::vector<Pointer> pointers;        // in address order
    std::vector<std::uint32_t> unreached;  // targets no pointer points at, ascending, each once
};

ScanResult scan_pointers(std::span<const std::uint8_t> rom, std::span<const std::uint32_t> targets,
                         const ScanLayout& layout);

// A table among the places found: `count` pointers from `start`, `stride`
// bytes apart.
struct FoundTable {
    std::uint32_t start = 0;
    std::uint32_t stride = 0;
    std::uint32_t count = 0;
    friend bool operator==(const FoundTable&, const FoundTable&) = default;
};

struct RankRules {
    std::uint32_t min_run = 3;     // pointers in a row that make a table
    std::uint32_t max_stride = 16;  // the longest step looked at; the shortest is the pointer's size
};

struct Ranked {
    std::vector<FoundTable> tables;   // by start
    std::vector<std::size_t> alone;   // indices of the pointers in no table, in address order
};

// Tables are runs of at least `min_run` places at one stride (from the
// pointer size up to `max_stride`) that point at two or more different
// offsets; the longest runs are taken first, and a place belongs to one table
// at most. `pointers` are in address order, `targets[i]` where pointers[i]
// points.
Ranked rank_pointers(std::span<const Pointer> pointers, std::span<const std::uint64_t> targets, const RankRules& rules);

}  // namespace quillmere
