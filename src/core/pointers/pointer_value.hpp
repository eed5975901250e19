#pragma once
// A pointer's value in the ROM: reading it, the offset it points at, and the
// bytes that make it point somewhere else.

#include <cstdint>
#include <optional>
#include <span>

#include "core/pointers/pointer_list.hpp"

namespace quillmere {

// Whether all the pointer's bytes lie inside a ROM of `rom_size` bytes.
bool pointer_in_rom(const Pointer& pointer, std::uint64_t rom_size);

// The value of `size` bytes in `order`; `bytes` holds at least `size`.
std::uint32_t read_value(const std::uint8_t* bytes, std::uint8_t size, ByteOrder order);
// Requires pointer_in_rom.
std::uint32_t read_pointer(std::span<const std::uint8_t> rom, const Pointer& pointer);

// The file offset a value points at: value - base, or nothing when the value
// lies below the base.
std::optional<std::uint32_t> target_of(std::uint32_t value, std::uint32_t base);

// The value that makes the pointer point at `target`, when target + base
// fits in its bytes.
std::optional<std::uint32_t> value_for(const Pointer& pointer, std::uint32_t target);

// The pointer's bytes for `value` (which fits), into out[0 .. size).
void write_value(std::uint32_t value, std::uint8_t size, ByteOrder order, std::uint8_t* out);

}  // namespace quillmere
