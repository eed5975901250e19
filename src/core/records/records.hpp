#pragma once
// The record store: named address ranges, kept in the settings file after
// every change.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>


namespace quillmere::records {

inline constexpr const char8_t* kSettingsFileName = u8"Quillmere汉化工具.ini";

struct Record {
    std::u16string name;   // Text3
    std::u16string start;  // Text4, as typed
    std::u16string end;    // Text5, as typed
    friend bool operator==(const Record&, const Record&) = default;
};

using RecordList = std::vector<Record>;

// Why a record command changed nothing, or could not keep its change.
struct RecordRefusal {
    enum class Cause {
        no_name,              // Add without a name
        semicolon_name,       // a name beginning with ";" would read back as a comment
        breaks_the_line,      // a quote or line break would split the record when read back
        unsavable_character,  // `character` has no code page 936 code
        listed_already,
        bad_range_to_add,
        no_selection,
        no_name_to_modify,
        bad_range_to_modify,
        not_saved,            // the change stands, but the settings file could not be written
    };
    explicit RecordRefusal(Cause why, std::u16string what = {}) : cause(why), character(std::move(what)) {}

    Cause cause;
    std::u16string character;  // one character, or a surrogate pair
    friend bool operator==(const RecordRefusal&, const RecordRefusal&) = default;
};

// What a record command leaves: the list (changed or not) and at most one
// refusal, shown with an OK button.
struct Change {
    RecordList records;
    std::optional<RecordRefusal> refusal;
    bool changed = false;  // the list differs from before
};

Change add_record(const RecordList& records, const Record& typed, const std::filesystem::path& settings_file);
Change delete_record(const RecordList& records, std::optional<std::size_t> selection, bool confirmed,
                     const std::filesystem::path& settings_file);
Change modify_record(const RecordList& records, std::optional<std::size_t> selection, const Record& typed,
                     bool confirmed, const std::filesystem::path& settings_file);
// The three texts for Text3, Text4 and Text5.
const Record& select_record(const RecordList& records, std::size_t index);

}  // namespace quillmere::records
