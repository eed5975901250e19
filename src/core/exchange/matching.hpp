#pragma once
// Matching units to the records of the original script by their keys: the
// records as check and import read them, each unit's place among them, and
// what stands in the way of writing the translation back. Scripts are read
// as characters, or as the code page 936 bytes of a script file as they
// stand (Char = char), as the check and the import read them.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/exchange/unit.hpp"

namespace quillmere::exchange {

// One record of a script; views into the script.
template <class Char>
struct BasicScriptRecord {
    std::basic_string_view<Char> address, length, text;
};
using ScriptRecord = BasicScriptRecord<char16_t>;

template <class Char>
struct BasicRecordProblem {
    enum class Kind {
        unsplit,  // a line with fewer than two commas; `address` as check names it
        twice,    // a second record with the same address
    } kind = Kind::unsplit;
    std::basic_string_view<Char> address;
};

template <class Char>
struct BasicScriptRecords {
    std::vector<BasicScriptRecord<Char>> records;
    // The unsplit lines, then the repeated addresses, each in script order.
    std::vector<BasicRecordProblem<Char>> problems;
};
using ScriptRecords = BasicScriptRecords<char16_t>;

// The records of a script, split by the shared entry walk so that every
// address and text is what check and import see.
template <class Char>
BasicScriptRecords<Char> script_records(std::basic_string_view<Char> script);

// Finds a record by its address. Files made from a script keep its order,
// so the record after the last one found is tried first and the map of all
// addresses is only built for a unit out of place.
template <class Char>
class RecordIndex {
public:
    explicit RecordIndex(std::span<const BasicScriptRecord<Char>> records) : records_(records) {}
    std::optional<std::size_t> find(std::basic_string_view<Char> address);

private:
    std::span<const BasicScriptRecord<Char>> records_;
    std::size_t next_ = 0;
    std::unordered_map<std::basic_string_view<Char>, std::size_t> map_;
};

// A unit as matching takes it, from an exchange file or a translation script.
template <class Char>
struct BasicUnitView {
    std::basic_string_view<Char> key, source, target;
    bool has_source = false;
    bool fuzzy = false;
    std::size_t line = 0;  // 0 when the unit has no line of its own
};
using UnitView = BasicUnitView<char16_t>;

template <class Char>
struct BasicUnitProblem {
    enum class Kind {
        malformed,        // `line` is not well-formed
        not_in_original,  // no record has the key
        twice,            // the key of an earlier unit
        source_changed,   // the source differs from the record's text
        line_break,       // the target holds a CR, which would end the record early
    } kind = Kind::malformed;
    std::size_t line = 0;
    std::basic_string_view<Char> key;
};
using UnitProblem = BasicUnitProblem<char16_t>;

// What each record takes from the units.
template <class Char>
struct BasicMatched {
    // Per record: the target of its unit, when it has a non-empty one that
    // counts (a fuzzy one only when fuzzy ones are used).
    std::vector<std::optional<std::basic_string_view<Char>>> targets;
    std::size_t translated = 0;
    // In file order; malformed lines among them by their line.
    std::vector<BasicUnitProblem<Char>> problems;
};
using Matched = BasicMatched<char16_t>;

template <class Char>
BasicMatched<Char> match_units(std::span<const BasicUnitView<Char>> units, std::span<const BasicScriptRecord<Char>> records,
                               bool use_fuzzy);
// The units of a file, its malformed lines among their problems.
Matched match_units(const UnitFile& file, std::span<const ScriptRecord> records, bool use_fuzzy);

}  // namespace quillmere::exchange
