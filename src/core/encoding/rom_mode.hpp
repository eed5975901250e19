#pragma once

namespace quillmere {

// Which code tables take part in export, check and import.
enum class RomMode { single_byte, double_byte, both };

inline bool uses_single_byte_table(RomMode mode) { return mode != RomMode::double_byte; }
inline bool uses_double_byte_table(RomMode mode) { return mode != RomMode::single_byte; }

}  // namespace quillmere
