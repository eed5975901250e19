#include "core/pointers/pointer_table.hpp"

#include "core/pointers/pointer_value.hpp"

namespace quillmere {

Expected<std::vector<Pointer>, TableFault> pointer_table(const TableLayout& layout, std::span<const std::uint8_t> rom) {
    if (layout.count == 0) return unexpected(TableFault::no_pointers);
    // A split table's starts, the low bytes' first.
    std::vector<std::uint32_t> starts = {layout.at};
    if (layout.split_high) starts.push_back(*layout.split_high);
    if (layout.split_high && layout.split_bank) starts.push_back(*layout.split_bank);
    const bool split = starts.size() > 1;
    const std::uint32_t width = split ? 1 : layout.size;
    if (layout.stride < width) return unexpected(TableFault::stride_too_small);
    // Each table ends at start + (count - 1) * stride + width, which fits in
    // 64 bits for any 32-bit inputs.
    const std::uint64_t span = std::uint64_t{layout.count - 1} * layout.stride + width;
    for (std::uint32_t start : starts)
        if (start + span > rom.size()) return unexpected(TableFault::outside_rom);
    for (std::size_t a = 0; a < starts.size(); ++a)
        for (std::size_t b = a + 1; b < starts.size(); ++b)
            if (starts[a] < starts[b] + span && starts[b] < starts[a] + span) return unexpected(TableFault::tables_overlap);

    std::vector<Pointer> pointers;
    pointers.reserve(layout.count);
    for (std::uint32_t i = 0; i < layout.count; ++i) {
        const std::uint64_t step = std::uint64_t{i} * layout.stride;
        Pointer pointer{static_cast<std::uint32_t>(layout.at + step), layout.size, layout.order, layout.base, layout.map};
        if (split) {
            pointer.split = true;
            pointer.order = ByteOrder::little;
            pointer.size = static_cast<std::uint8_t>(starts.size());
            for (std::size_t k = 0; k < starts.size(); ++k) pointer.places[k] = static_cast<std::uint32_t>(starts[k] + step);
        }
        pointer.skip = layout.null_value && read_pointer(rom, pointer) == *layout.null_value;
        pointers.push_back(pointer);
    }
    return pointers;
}

}  // namespace quillmere
