#include "core/pointers/pointer_table.hpp"

namespace quillmere {

Expected<std::vector<Pointer>, TableFault> pointer_table(const TableLayout& layout, std::uint64_t rom_size) {
    if (layout.count == 0) return unexpected(TableFault::no_pointers);
    if (layout.stride < layout.size) return unexpected(TableFault::stride_too_small);
    // The last pointer ends at at + (count - 1) * stride + size, which fits in
    // 64 bits for any 32-bit inputs.
    const std::uint64_t end =
        std::uint64_t{layout.at} + std::uint64_t{layout.count - 1} * layout.stride + layout.size;
    if (end > rom_size) return unexpected(TableFault::outside_rom);
    std::vector<Pointer> pointers;
    pointers.reserve(layout.count);
    for (std::uint32_t i = 0; i < layout.count; ++i) {
        const auto address = static_cast<std::uint32_t>(layout.at + std::uint64_t{i} * layout.stride);
        pointers.push_back(Pointer{address, layout.size, layout.order, layout.base});
    }
    return pointers;
}

}  // namespace quillmere
