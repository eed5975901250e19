#pragma once
// The search for a shape query over a ROM: every place where the codes of
// the query's slots keep their ties and names.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/find/code_form.hpp"
#include "core/find/shape_query.hpp"

namespace quillmere::find {

// Every offset in `stretch` at which the query's codes stand wholly inside
// the stretch, in address order: the first `keep`, the count, and the one
// numbered `pick`. The stretch lies inside the ROM.
Hits find_shapes(std::span<const std::uint8_t> rom, const ShapeQuery& query, CodeForm form, Stretch stretch,
                 std::size_t keep, std::size_t pick = 0);

// The code of each slot at `offset` (free slots too), whose bytes lie
// inside the ROM.
std::vector<std::uint32_t> slot_codes(std::span<const std::uint8_t> rom, std::size_t offset, std::size_t slots,
                                      CodeForm form);

}  // namespace quillmere::find
