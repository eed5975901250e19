#pragma once
// A one-bit image as a greyscale PNG file (black 0, white 1).

#include <cstdint>
#include <optional>
#include <vector>

#include "core/charset/font_sheet.hpp"
#include "core/expected.hpp"

namespace quillmere {

// The encoder fails only when it cannot have the memory: the sheet is too
// large.
[[nodiscard]] Expected<std::vector<std::uint8_t>, SheetFailure> png_bytes(const MonoImage& image);

}  // namespace quillmere
