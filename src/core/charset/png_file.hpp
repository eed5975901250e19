#pragma once
// A one-bit image as a greyscale PNG file (black 0, white 1).

#include <cstdint>
#include <optional>
#include <vector>

#include "core/charset/font_sheet.hpp"

namespace quillmere {

// nullopt when the encoder fails (out of memory).
std::optional<std::vector<std::uint8_t>> png_bytes(const MonoImage& image);

}  // namespace quillmere
