#include "core/records/records.hpp"

#include <algorithm>

#include "core/encoding/hex.hpp"
#include "core/records/settings_file.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::records {
namespace {

// A name beginning with ";" would be read back as a comment and vanish; a
// quote or a line break would split the record when it is read back. Both are
// refused before anything changes.
std::optional<RecordRefusal> unsavable_texts(const Record& typed) {
    using Cause = RecordRefusal::Cause;
    if (typed.name.starts_with(u';')) return RecordRefusal{Cause::semicolon_name};
    auto breaks_the_line = [](std::u16string_view field) {
        return field.find_first_of(u"\"\r\n") != std::u16string_view::npos;
    };
    if (breaks_the_line(typed.name) || breaks_the_line(typed.start) || breaks_the_line(typed.end))
        return RecordRefusal{Cause::breaks_the_line};
    // The settings file is code page 936: a record it cannot hold would make
    // every later save fail.
    for (std::u16string_view field : {std::u16string_view(typed.name), std::u16string_view(typed.start),
                                      std::u16string_view(typed.end)}) {
        auto encoded = text::encode_gbk(field);
        if (encoded) continue;
        const std::size_t at = encoded.error().index;
        const std::size_t width = encoded.error().character > 0xFFFF ? 2 : 1;
        return RecordRefusal{Cause::unsavable_character, std::u16string(field.substr(at, width))};
    }
    return std::nullopt;
}

struct Range {
    std::int32_t start = 0;
    std::int32_t end = 0;
    bool acceptable() const { return start >= 1 && start <= end; }
};

std::optional<Range> parse_range(const Record& typed) {
    auto start = hex2num(typed.start);
    auto end = hex2num(typed.end);
    if (!start || !end) return std::nullopt;
    return Range{*start, *end};
}

bool is_selected(const RecordList& records, std::optional<std::size_t> selection) {
    return selection && *selection < records.size();
}

Change unchanged(const RecordList& records, std::optional<RecordRefusal::Cause> cause = std::nullopt) {
    if (!cause) return Change{records, std::nullopt, false};
    return Change{records, RecordRefusal{*cause}, false};
}

Change unchanged(const RecordList& records, RecordRefusal refusal) { return Change{records, std::move(refusal), false}; }

// The new list stays even when the file cannot be written: the user keeps
// working with it and is told that it is not on disk.
Change saved(RecordList records, const std::filesystem::path& settings_file) {
    std::optional<RecordRefusal> refusal;
    if (!save_records(settings_file, records)) refusal = RecordRefusal{RecordRefusal::Cause::not_saved};
    return Change{std::move(records), std::move(refusal), true};
}

}  // namespace

using Cause = RecordRefusal::Cause;

Change add_record(const RecordList& records, const Record& typed, const std::filesystem::path& settings_file) {
    if (typed.name.empty()) return unchanged(records, Cause::no_name);
    if (auto refusal = unsavable_texts(typed)) return unchanged(records, std::move(*refusal));
    auto range = parse_range(typed);
    if (!range) return unchanged(records);
    bool listed = std::any_of(records.begin(), records.end(),
                              [&](const Record& record) { return record.name == typed.name; });
    if (listed) return unchanged(records, Cause::listed_already);
    if (!range->acceptable()) return unchanged(records, Cause::bad_range_to_add);
    RecordList next = records;
    next.push_back(typed);
    return saved(std::move(next), settings_file);
}

Change delete_record(const RecordList& records, std::optional<std::size_t> selection, bool confirmed,
                     const std::filesystem::path& settings_file) {
    if (!confirmed) return unchanged(records);
    if (!is_selected(records, selection)) return unchanged(records, Cause::no_selection);
    RecordList next = records;
    next.erase(next.begin() + static_cast<std::ptrdiff_t>(*selection));
    return saved(std::move(next), settings_file);
}

Change modify_record(const RecordList& records, std::optional<std::size_t> selection, const Record& typed,
                     bool confirmed, const std::filesystem::path& settings_file) {
    if (!confirmed) return unchanged(records);
    if (typed.name.empty()) return unchanged(records, Cause::no_name_to_modify);
    if (auto refusal = unsavable_texts(typed)) return unchanged(records, std::move(*refusal));
    auto range = parse_range(typed);
    if (!range || !range->acceptable())
        return unchanged(records, Cause::bad_range_to_modify);
    if (!is_selected(records, selection)) return unchanged(records, Cause::no_selection);
    RecordList next = records;
    next[*selection] = typed;
    return saved(std::move(next), settings_file);
}

const Record& select_record(const RecordList& records, std::size_t index) {
    // The window only passes the index of an entry it shows; anything else
    // gets three empty texts rather than undefined behaviour.
    static const Record kNoRecord{};
    return index < records.size() ? records[index] : kNoRecord;
}

}  // namespace quillmere::records
