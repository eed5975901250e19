#pragma once
// The record store: named address ranges, kept in the settings file after
// every change.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/message.hpp"

namespace quillmere::records {

inline constexpr const char8_t* kSettingsFileName = u8"Quillmere汉化工具.ini";

struct Record {
    std::u16string name;   // Text3
    std::u16string start;  // Text4, as typed
    std::u16string end;    // Text5, as typed
    friend bool operator==(const Record&, const Record&) = default;
};

using RecordList = std::vector<Record>;

// What a record command leaves: the list (changed or not) and at most one
// message (OK button).
struct Change {
    RecordList records;
    std::optional<Message> message;
    bool changed = false;  // the list differs from before
};

// The confirmations asked before Delete and Modify (title "提示", Yes and No,
// information icon).
Message delete_question();  // "要删除记录吗？"
Message modify_question();  // "要修改记录吗？"

Change add_record(const RecordList& records, const Record& typed, const std::filesystem::path& settings_file);
Change delete_record(const RecordList& records, std::optional<std::size_t> selection, bool confirmed,
                     const std::filesystem::path& settings_file);
Change modify_record(const RecordList& records, std::optional<std::size_t> selection, const Record& typed,
                     bool confirmed, const std::filesystem::path& settings_file);
// The three texts for Text3, Text4 and Text5.
const Record& select_record(const RecordList& records, std::size_t index);

}  // namespace quillmere::records
