#pragma once
// The translation script written back from the units, byte for byte as the
// export writes a script, so that check and import take it as it is.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/exchange/matching.hpp"
#include "core/exchange/output.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::exchange {

// Appends `text` in code page 936. A character without a code, or whose code
// reads back as another character, is returned instead, and `out` is left
// with part of the text.
std::optional<char32_t> append_gbk(std::string& out, std::u16string_view text);

struct Unencodable {
    std::size_t record = 0;
    char32_t character = 0;
};

// ADDRESS "," LENGTH "," TEXT CR LF CR LF for every record, TEXT the target
// when there is one and the record's own text when not, and one CR LF more
// at the end, into `out`. The records that code page 936 cannot hold are
// returned, in order, and `out` is then of no use.
std::vector<Unencodable> write_script(std::span<const ScriptRecord> records,
                                      std::span<const std::optional<std::u16string_view>> targets,
                                      text::Encoding encoding, Output& out);

}  // namespace quillmere::exchange
