#include "core/exchange/matching.hpp"

#include <unordered_set>

#include "core/encoding/hex.hpp"
#include "core/script/entry.hpp"

namespace quillmere::exchange {
namespace {

// Addresses an export wrote ascend, so they differ; only a script in another
// order needs them all in a set to tell.
void find_repeated_addresses(ScriptRecords& script) {
    std::optional<std::int32_t> previous;
    bool ascending = true;
    for (const ScriptRecord& record : script.records) {
        const auto value = hex2num(record.address);
        if (!value || (previous && *value <= *previous)) {
            ascending = false;
            break;
        }
        previous = value;
    }
    if (ascending) return;
    std::unordered_set<std::u16string_view> seen;
    seen.reserve(script.records.size());
    for (const ScriptRecord& record : script.records)
        if (!seen.insert(record.address).second) script.problems.push_back({RecordProblem::Kind::twice, record.address});
}

}  // namespace

ScriptRecords script_records(std::u16string_view script) {
    ScriptRecords found;
    for_each_entry(
        script,
        [&](const ScriptEntry& entry) {
            found.records.push_back({entry.address, entry.original_length, entry.text});
            return true;
        },
        [&](std::u16string_view address) {
            found.problems.push_back({RecordProblem::Kind::unsplit, address});
            return true;
        });
    // The lines that are no records, then the repeated addresses.
    find_repeated_addresses(found);
    return found;
}

std::optional<std::size_t> RecordIndex::find(std::u16string_view address) {
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

std::vector<UnitView> unit_views(const UnitFile& file) {
    std::vector<UnitView> views;
    views.reserve(file.units.size());
    for (const UnitIn& unit : file.units)
        views.push_back({file.text(unit.key), file.text(unit.source), file.text(unit.target), unit.has_source,
                         unit.fuzzy, unit.line});
    return views;
}

Matched match_units(std::span<const UnitView> units, std::span<const std::size_t> malformed_lines,
                    std::span<const ScriptRecord> records, bool use_fuzzy) {
    Matched matched;
    matched.targets.resize(records.size());
    std::vector<bool> taken(records.size(), false);
    RecordIndex index(records);
    std::size_t next_malformed = 0;
    auto malformed_before = [&](std::size_t line) {
        while (next_malformed < malformed_lines.size() && (line == 0 || malformed_lines[next_malformed] < line))
            matched.problems.push_back({UnitProblem::Kind::malformed, malformed_lines[next_malformed++], {}});
    };
    for (const UnitView& unit : units) {
        if (unit.line != 0) malformed_before(unit.line);
        auto problem = [&](UnitProblem::Kind kind) { matched.problems.push_back({kind, unit.line, unit.key}); };
        const auto found = index.find(unit.key);
        if (!found) {
            problem(UnitProblem::Kind::not_in_original);
            continue;
        }
        if (taken[*found]) {
            problem(UnitProblem::Kind::twice);
            continue;
        }
        taken[*found] = true;
        if (unit.has_source && unit.source != records[*found].text) {
            problem(UnitProblem::Kind::source_changed);
            continue;
        }
        if (unit.target.empty() || (unit.fuzzy && !use_fuzzy)) continue;
        if (unit.target.find(u'\r') != std::u16string_view::npos) {
            problem(UnitProblem::Kind::line_break);
            continue;
        }
        matched.targets[*found] = unit.target;
        ++matched.translated;
    }
    malformed_before(0);
    return matched;
}

}  // namespace quillmere::exchange
