#pragma once
// Finding the pointers to known offsets: every place of the ROM whose value,
// read as a pointer of a given form, points at one of them.

#include <cstdint>
#include <span>
#include <vector>

#include "core/pointers/pointer_list.hpp"

namespace quillmere {

struct ScanLayout {
    std::uint8_t size = 4;
    ByteOrder order = ByteOrder::little;
    std::uint32_t base = 0;
    std::uint32_t align = 1;  // only offsets that are multiples of it; at least 1
};

struct ScanResult {
    std::vector<Pointer> pointers;        // in address order
    std::vector<std::uint32_t> unreached;  // targets no pointer points at, ascending, each once
};

ScanResult scan_pointers(std::span<const std::uint8_t> rom, std::span<const std::uint32_t> targets,
                         const ScanLayout& layout);

}  // namespace quillmere
