#include "core/pointers/pointer_value.hpp"

namespace quillmere {

bool pointer_in_rom(const Pointer& pointer, std::uint64_t rom_size) {
    return std::uint64_t{pointer.address} + pointer.size <= rom_size;
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
    return read_value(rom.data() + pointer.address, pointer.size, pointer.order);
}

std::optional<std::uint32_t> target_of(std::uint32_t value, std::uint32_t base) {
    if (value < base) return std::nullopt;
    return value - base;
}

std::optional<std::uint32_t> value_for(const Pointer& pointer, std::uint32_t target) {
    const std::uint64_t value = std::uint64_t{target} + pointer.base;
    const std::uint64_t limit = std::uint64_t{1} << (8 * pointer.size);
    if (value >= limit) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

void write_value(std::uint32_t value, std::uint8_t size, ByteOrder order, std::uint8_t* out) {
    for (std::uint8_t i = 0; i < size; ++i) {
        const auto byte = static_cast<std::uint8_t>(value >> (8 * i));
        out[order == ByteOrder::little ? i : size - 1 - i] = byte;
    }
}

}  // namespace quillmere
