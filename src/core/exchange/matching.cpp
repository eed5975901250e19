#include "core/exchange/matching.hpp"

#include <algorithm>
#include <unordered_set>

#include "core/script/entry.hpp"

namespace quillmere::exchange {
namespace {

// A plain hexadecimal address of up to eight digits.
template <class Char>
std::optional<std::uint32_t> plain_hex(std::basic_string_view<Char> text) {
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (const Char c : text) {
        unsigned digit = 0;
        if (c >= Char('0') && c <= Char('9')) digit = static_cast<unsigned>(c - Char('0'));
        else if (c >= Char('A') && c <= Char('F')) digit = static_cast<unsigned>(c - Char('A') + 10);
        else if (c >= Char('a') && c <= Char('f')) digit = static_cast<unsigned>(c - Char('a') + 10);
        else return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

// Addresses an export wrote ascend, so they differ; only a script in another
// order needs them all in a set to tell.
template <class Char>
void find_repeated_addresses(BasicScriptRecords<Char>& script) {
    std::optional<std::uint32_t> previous;
    bool ascending = true;
    for (const BasicScriptRecord<Char>& record : script.records) {
        const auto value = plain_hex(record.address);
        if (!value || (previous && *value <= *previous)) {
            ascending = false;
            break;
        }
        previous = value;
    }
    if (ascending) return;
    std::unordered_set<std::basic_string_view<Char>> seen;
    seen.reserve(script.records.size());
    for (const BasicScriptRecord<Char>& record : script.records)
        if (!seen.insert(record.address).second)
            script.problems.push_back({BasicRecordProblem<Char>::Kind::twice, record.address});
}

}  // namespace

template <class Char>
BasicScriptRecords<Char> script_records(std::basic_string_view<Char> script) {
    BasicScriptRecords<Char> found;
    // Records are at least a blank line apart in an export: room for all of
    // them at once.
    found.records.reserve(static_cast<std::size_t>(std::count(script.begin(), script.end(), Char('\r'))) / 2 + 1);
    for_each_entry(
        script,
        [&](const BasicScriptEntry<Char>& entry) {
            found.records.push_back({entry.address, entry.original_length, entry.text});
            return true;
        },
        [&](std::basic_string_view<Char> address) {
            found.problems.push_back({BasicRecordProblem<Char>::Kind::unsplit, address});
            return true;
        });
    find_repeated_addresses(found);
    return found;
}

template <class Char>
std::optional<std::size_t> RecordIndex<Char>::find(std::basic_string_view<Char> address) {
    if (next_ < records_.size() && records_[next_].address == address) return next_++;
    if (map_.empty() && !records_.empty()) {
        map_.reserve(records_.size());
        for (std::size_t i = 0; i < records_.size(); ++i) map_.emplace(records_[i].address, i);
    }
    const auto found = map_.find(address);
    if (found == map_.end()) return std::nullopt;
    next_ = found->second + 1;
    return found->second;
}

namespace {

// `unit_at(i)` gives the units one at a time, without a copy of them all.
template <class Char, class UnitAt>
BasicMatched<Char> match_all(std::size_t count, UnitAt&& unit_at, std::span<const std::size_t> malformed_lines,
                             std::span<const BasicScriptRecord<Char>> records, bool use_fuzzy) {
    using Kind = typename BasicUnitProblem<Char>::Kind;
    BasicMatched<Char> matched;
    matched.targets.resize(records.size());
    std::vector<bool> taken(records.size(), false);
    RecordIndex<Char> index(records);
    std::size_t next_malformed = 0;
    auto malformed_before = [&](std::size_t line) {
        while (next_malformed < malformed_lines.size() && (line == 0 || malformed_lines[next_malformed] < line))
            matched.problems.push_back({Kind::malformed, malformed_lines[next_malformed++], {}});
    };
    for (std::size_t i = 0; i < count; ++i) {
        const BasicUnitView<Char> unit = unit_at(i);
        if (unit.line != 0) malformed_before(unit.line);
        auto problem = [&](Kind kind) { matched.problems.push_back({kind, unit.line, unit.key}); };
        const auto found = index.find(unit.key);
        if (!found) {
            problem(Kind::not_in_original);
            continue;
        }
        if (taken[*found]) {
            problem(Kind::twice);
            continue;
        }
        taken[*found] = true;
        if (unit.has_source && unit.source != records[*found].text) {
            problem(Kind::source_changed);
            continue;
        }
        if (unit.target.empty() || (unit.fuzzy && !use_fuzzy)) continue;
        if (unit.target.find(Char('\r')) != std::basic_string_view<Char>::npos) {
            problem(Kind::line_break);
            continue;
        }
        matched.targets[*found] = unit.target;
        ++matched.translated;
    }
    malformed_before(0);
    return matched;
}

}  // namespace

template <class Char>
BasicMatched<Char> match_units(std::span<const BasicUnitView<Char>> units, std::span<const BasicScriptRecord<Char>> records,
                               bool use_fuzzy) {
    return match_all<Char>(units.size(), [&](std::size_t i) { return units[i]; }, {}, records, use_fuzzy);
}

Matched match_units(const UnitFile& file, std::span<const ScriptRecord> records, bool use_fuzzy) {
    const auto unit_at = [&](std::size_t i) {
        const UnitIn& unit = file.units[i];
        return UnitView{file.text(unit.key), file.text(unit.source), file.text(unit.target), unit.has_source, unit.fuzzy,
                        unit.line};
    };
    return match_all<char16_t>(file.units.size(), unit_at, file.malformed_lines, records, use_fuzzy);
}

template BasicScriptRecords<char> script_records(std::string_view);
template BasicScriptRecords<char16_t> script_records(std::u16string_view);
template class RecordIndex<char>;
template class RecordIndex<char16_t>;
template BasicMatched<char> match_units(std::span<const BasicUnitView<char>>, std::span<const BasicScriptRecord<char>>,
                                        bool);
template BasicMatched<char16_t> match_units(std::span<const BasicUnitView<char16_t>>,
                                            std::span<const BasicScriptRecord<char16_t>>, bool);

}  // namespace quillmere::exchange
