#pragma once
// Matching units to the records of the original script by their keys: the
// records as check and import read them, each unit's place among them, and
// what stands in the way of writing the translation back.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/exchange/unit.hpp"

namespace quillmere::exchange {

// One record of a script; views into the script's text.
struct ScriptRecord {
    std::u16string_view address, length, text;
};

struct RecordProblem {
    enum class Kind {
        unsplit,  // a line with fewer than two commas; `address` as check names it
        twice,    // a second record with the same address
    } kind = Kind::unsplit;
    std::u16string_view address;
};

struct ScriptRecords {
    std::vector<ScriptRecord> records;
    std::vector<RecordProblem> problems;  // the unsplit lines, then the repeated addresses, each in script order
};

// The records of a script, split by the shared entry walk so that every
// address and text is what check and import see.
ScriptRecords script_records(std::u16string_view script);

// Finds a record by its address. Files made from a script keep its order,
// so the record after the last one found is tried first and the map of all
// addresses is only built for a unit out of place.
class RecordIndex {
public:
    explicit RecordIndex(std::span<const ScriptRecord> records) : records_(records) {}
    std::optional<std::size_t> find(std::u16string_view address);

private:
    std::span<const ScriptRecord> records_;
    std::size_t next_ = 0;
    std::unordered_map<std::u16string_view, std::size_t> map_;
};

// A unit as matching takes it, from an exchange file or a translation script.
struct UnitView {
    std::u16string_view key, source, target;
    bool has_source = false;
    bool fuzzy = false;
    std::size_t line = 0;  // 0 when the unit has no line of its own
};

std::vector<UnitView> unit_views(const UnitFile& file);

struct UnitProblem {
    enum class Kind {
        malformed,        // `line` is not well-formed
        not_in_original,  // no record has the key
        twice,            // the key of an earlier unit
        source_changed,   // the source differs from the record's text
        line_break,       // the target holds a CR, which would end the record early
    } kind = Kind::malformed;
    std::size_t line = 0;
    std::u16string_view key;
};

// What each record takes from the units.
struct Matched {
    // Per record: the target of its unit, when it has a non-empty one that
    // counts (a fuzzy one only when fuzzy ones are used).
    std::vector<std::optional<std::u16string_view>> targets;
    std::size_t translated = 0;
    // In file order; malformed lines among them by their line.
    std::vector<UnitProblem> problems;
};

Matched match_units(std::span<const UnitView> units, std::span<const std::size_t> malformed_lines,
                    std::span<const ScriptRecord> records, bool use_fuzzy);

}  // namespace quillmere::exchange
