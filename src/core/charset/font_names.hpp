#pragma once
// The family name a TrueType or OpenType font file (or the first font of a
// collection) gives itself: what a system that draws fonts by name (GDI)
// must be asked for after the file is loaded.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillmere {

// The Windows family name (name 1), American English if the font has it,
// else the first one; nullopt for a file that is no such font or names no
// family.
std::optional<std::u16string> font_family_name(std::span<const std::uint8_t> file);

}  // namespace quillmere
