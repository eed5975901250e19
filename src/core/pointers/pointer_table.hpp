#pragma once
// A table of pointers at regular distances: the pointer list that describes
// it. A split table keeps each pointer's low bytes in one table and its high
// bytes (and maybe its bank bytes) in others, entry i of each at the same
// distance from its start.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/expected.hpp"
#include "core/pointers/pointer_list.hpp"

namespace quillmere {

struct TableLayout {
    std::uint32_t at = 0;     // offset of the first pointer (of the first low byte)
    std::uint32_t count = 0;  // number of pointers, at least 1
    std::uint8_t size = 4;
    ByteOrder order = ByteOrder::little;
    std::int64_t base = 0;
    std::uint32_t stride = 0;  // bytes from one pointer to the next: at least size, 1 for split tables
    AddressMap map{};
    std::optional<std::uint32_t> split_high = std::nullopt;  // the high bytes' table; size 2 (or 3 with split_bank)
    std::optional<std::uint32_t> split_bank = std::nullopt;  // the bank bytes' table
    // A pointer that holds this value is a null entry, listed to be skipped.
    std::optional<std::uint32_t> null_value = std::nullopt;
};

enum class TableFault {
    no_pointers,        // count 0
    stride_too_small,   // the pointers would overlap
    outside_rom,        // the table reaches past the end of the ROM
    tables_overlap,     // split: two of the byte tables share a byte
};

Expected<std::vector<Pointer>, TableFault> pointer_table(const TableLayout& layout, std::span<const std::uint8_t> rom);

}  // namespace quillmere
