#pragma once
// A table of pointers at regular distances: the pointer list that describes
// it.

#include <cstdint>
#include <vector>

#include "core/expected.hpp"
#include "core/pointers/pointer_list.hpp"

namespace quillmere {

struct TableLayout {
    std::uint32_t at = 0;     // offset of the first pointer
    std::uint32_t count = 0;  // number of pointers, at least 1
    std::uint8_t size = 4;
    ByteOrder order = ByteOrder::little;
    std::uint32_t base = 0;
    std::uint32_t stride = 0;  // bytes from one pointer to the next, at least size
};

enum class TableFault {
    no_pointers,        // count 0
    stride_too_small,   // the pointers would overlap
    outside_rom,        // the table reaches past the end of the ROM
};

Expected<std::vector<Pointer>, TableFault> pointer_table(const TableLayout& layout, std::uint64_t rom_size);

}  // namespace quillmere
