#pragma once
// The search for a text through the code tables: the text is encoded in
// every way the tables and filter lists allow (a character in both tables,
// or under several codes, a run of characters that a longer value covers, a
// tag under each of its codes), and each place where one of those byte
// strings stands is a hit.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/encoding/code_table.hpp"
#include "core/expected.hpp"
#include "core/find/code_form.hpp"
#include "core/find/shape_query.hpp"
#include "core/script/text_codes.hpp"

namespace quillmere::find {

// The text as a graph: its positions are the nodes, and each way to encode
// the piece between two of them (a table value, a token) is a step, tried
// in the order the check tries them (longer values first, the single-byte
// table before the double-byte one, earlier lines first).
class TextQuery {
public:
    struct Step {
        std::uint32_t to = 0;
        std::uint32_t shown = 0;              // index into `shown_`: the value or token
        std::uint32_t bytes = 0, length = 0;  // into `bytes_`
    };

    std::size_t end() const { return steps_from_.size() - 1; }
    std::span<const std::uint32_t> steps_from(std::size_t node) const { return steps_from_[node]; }
    const Step& step(std::uint32_t index) const { return steps_[index]; }
    std::span<const std::uint8_t> bytes(const Step& step) const { return {bytes_.data() + step.bytes, step.length}; }
    const std::u16string& shown(const Step& step) const { return shown_[step.shown]; }
    // The most bytes an encoding of the text, or of a part of it from its
    // start, can take.
    std::size_t longest() const { return longest_; }
    // Whether some encoding begins with this byte.
    bool may_start(std::uint8_t byte) const { return first_bytes_[byte]; }

private:
    friend class TextQueryBuilder;
    std::vector<std::vector<std::uint32_t>> steps_from_;
    std::vector<Step> steps_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::u16string> shown_;
    std::size_t longest_ = 0;
    bool first_bytes_[256] = {};
};

// The lines of the tables the ROM mode uses (an unused table's are empty)
// and the filter lists: a character no value covers, or a token that is no
// marker, tag or (with hex bytes) "{$XX}", is refused.
[[nodiscard]] Expected<TextQuery, QueryFailure> text_query(std::u16string_view text,
                                                           std::span<const TableLine> double_lines,
                                                           std::span<const TableLine> single_lines,
                                                           const ScriptTables& tables);

struct TextHit {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::vector<std::uint32_t> steps;  // the encoding found: the first in the order tried
};
struct TextHits {
    std::vector<TextHit> hits;
    std::size_t total = 0;
};

// Every offset in `stretch` where an encoding of the text stands wholly
// inside the stretch, in address order: the first `keep` and the count.
TextHits find_text(std::span<const std::uint8_t> rom, const TextQuery& query, Stretch stretch, std::size_t keep);

// "值=HEX" for each value or token of the hit's encoding, each once, in the
// text's order; HEX is the bytes as they stand in the ROM.
std::u16string text_map(const TextQuery& query, const TextHit& hit);

// `count` codes from `offset` on read through the tables: a pair the
// double-byte table holds, else a byte the single-byte table holds, else ".".
std::u16string table_preview(std::span<const std::uint8_t> rom, std::size_t offset, const CodeTables& tables,
                             std::size_t count = 32);

}  // namespace quillmere::find
