#include "core/pointers/pointer_value.hpp"

#include <algorithm>

namespace quillmere {

bool pointer_in_rom(const Pointer& pointer, std::uint64_t rom_size) {
    if (!pointer.split) return std::uint64_t{pointer.address} + pointer.size <= rom_size;
    for (std::size_t i = 0; i < pointer.size; ++i)
        if (pointer.places[i] >= rom_size) return false;
    return true;
}

std::uint32_t read_value(const std::uint8_t* bytes, std::uint8_t size, ByteOrder order) {
    std::uint32_t value = 0;
    for (std::uint8_t i = 0; i < size; ++i) {
        const std::uint8_t byte = order == ByteOrder::big ? bytes[i] : bytes[size - 1 - i];
        value = value << 8 | byte;
    }
    return value;
}

std::uint32_t read_pointer(std::span<const std::uint8_t> rom, const Pointer& pointer) {
    if (!pointer.split) return read_value(rom.data() + pointer.address, pointer.size, pointer.order);
    std::uint8_t bytes[4];
    for (std::size_t i = 0; i < pointer.size; ++i) bytes[i] = rom[pointer.places[i]];
    return read_value(bytes, pointer.size, pointer.order);
}

std::optional<std::uint64_t> target_of(const Pointer& pointer, std::uint32_t value, const RomShape& shape) {
    const std::int64_t address = std::int64_t{value} - pointer.base;
    if (address < 0) return std::nullopt;
    return offset_of(pointer.map, static_cast<std::uint64_t>(address), shape);
}

std::optional<std::uint32_t> target_of(std::uint32_t value, std::int64_t base) {
    const std::int64_t address = std::int64_t{value} - base;
    if (address < 0 || address > 0xFFFFFFFF) return std::nullopt;
    return static_cast<std::uint32_t>(address);
}

std::optional<std::uint32_t> value_for(const Pointer& pointer, std::uint64_t target, std::uint32_t old_value,
                                       const RomShape& shape) {
    const std::int64_t old_address = std::int64_t{old_value} - pointer.base;
    const Addresses addresses =
        addresses_of(pointer.map, target, static_cast<std::uint64_t>(std::max<std::int64_t>(old_address, 0)), shape);
    const std::int64_t limit = std::int64_t{1} << (8 * pointer.size);
    for (std::size_t i = 0; i < addresses.count; ++i) {
        // Addresses stay below 2^32, so the sum cannot overflow.
        const std::int64_t value = static_cast<std::int64_t>(addresses.at[i]) + pointer.base;
        if (value >= 0 && value < limit) return static_cast<std::uint32_t>(value);
    }
    return std::nullopt;
}

bool in_one_window(const Pointer& pointer, std::uint64_t target, std::uint64_t byte_count, const RomShape& shape) {
    return byte_count <= window_end(pointer.map, target, shape) - target;
}

void write_value(std::uint32_t value, std::uint8_t size, ByteOrder order, std::uint8_t* out) {
    for (std::uint8_t i = 0; i < size; ++i) {
        const auto byte = static_cast<std::uint8_t>(value >> (8 * i));
        out[order == ByteOrder::little ? i : size - 1 - i] = byte;
    }
}

}  // namespace quillmere
