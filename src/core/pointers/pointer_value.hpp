#pragma once
// A pointer's value in the ROM: reading it, the offset it points at, and the
// bytes that make it point somewhere else.

#include <cstdint>
#include <optional>
#include <span>

#include "core/pointers/address_map.hpp"
#include "core/pointers/pointer_list.hpp"

namespace quillmere {

// Whether all the pointer's bytes lie inside a ROM of `rom_size` bytes.
bool pointer_in_rom(const Pointer& pointer, std::uint64_t rom_size);

// The value of `size` bytes in `order`; `bytes` holds at least `size`.
std::uint32_t read_value(const std::uint8_t* bytes, std::uint8_t size, ByteOrder order);
// The value of the pointer's bytes, wherever they lie; requires pointer_in_rom.
std::uint32_t read_pointer(std::span<const std::uint8_t> rom, const Pointer& pointer);

// The file offset a value points at: value - base through the map, or
// nothing when that is no address of the ROM. The offset may lie past the
// end of the file.
std::optional<std::uint64_t> target_of(const Pointer& pointer, std::uint32_t value, const RomShape& shape);
// The same for a linear pointer with this base.
std::optional<std::uint32_t> target_of(std::uint32_t value, std::int64_t base);

// The value that makes the pointer point at `target`, when the map reaches
// it and the value fits in the pointer's bytes; `old_value` (what the pointer
// held) chooses among mirrors.
std::optional<std::uint32_t> value_for(const Pointer& pointer, std::uint64_t target, std::uint32_t old_value,
                                       const RomShape& shape);

// Whether `byte_count` bytes at `target` are seen in one piece through the
// pointer's map (they do not cross the end of a bank).
bool in_one_window(const Pointer& pointer, std::uint64_t target, std::uint64_t byte_count, const RomShape& shape);

// The bytes for `value` (which fits) in the pointer's order; `out(place,
// byte)` receives each, with the file offset it goes to.
template <class Out>
void write_pointer(const Pointer& pointer, std::uint32_t value, Out&& out) {
    for (std::uint8_t i = 0; i < pointer.size; ++i) {
        const std::uint8_t shift = pointer.order == ByteOrder::little ? i : static_cast<std::uint8_t>(pointer.size - 1 - i);
        out(byte_place(pointer, i), static_cast<std::uint8_t>(value >> (8 * shift)));
    }
}

// The bytes for `value` (which fits) into out[0 .. size).
void write_value(std::uint32_t value, std::uint8_t size, ByteOrder order, std::uint8_t* out);

}  // namespace quillmere
