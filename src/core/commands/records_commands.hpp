#pragma once
// The window's record store and its start-up and shut-down: named address
// ranges kept in the settings file, and the filter lists kept between runs,
// all in the window's data directory.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/commands/command_result.hpp"
#include "core/records/records.hpp"

namespace quillmere {

using Record = records::Record;  // name (Text3), start (Text4), end (Text5), as typed
using RecordList = records::RecordList;

struct RecordsPayload {
    RecordList records;    // List1, changed or not
    bool changed = false;  // the list differs from before
};

// Each checks what it is given, changes the list and saves it in the
// settings file of `data_dir`. A change that cannot be saved stands, with
// "记录保存失败" (错误). Delete and Modify ask first (delete_question,
// modify_question in the catalogue); not `confirmed`, they change nothing.
CommandResult<RecordsPayload> run_add_record(const RecordList& records, const Record& typed,
                                             const std::filesystem::path& data_dir);
CommandResult<RecordsPayload> run_delete_record(const RecordList& records, std::optional<std::size_t> selection,
                                                bool confirmed, const std::filesystem::path& data_dir);
CommandResult<RecordsPayload> run_modify_record(const RecordList& records, std::optional<std::size_t> selection,
                                                const Record& typed, bool confirmed,
                                                const std::filesystem::path& data_dir);
// The three texts for Text3, Text4 and Text5; empty ones for an index the
// list does not have.
const Record& selected_record(const RecordList& records, std::size_t index);

struct StartUp {
    RecordList records;                 // List1
    std::u16string single_filter_text;  // Text6
    std::u16string double_filter_text;  // Text12
};

// What the window starts with: each part on its own, a missing file leaves
// its own part empty, and nothing is ever shown.
StartUp run_start_up(const std::filesystem::path& data_dir);

// Writes both filter lists; "过滤区保存失败" (错误) when either could not be
// written.
CommandResult<> run_shut_down(const std::filesystem::path& data_dir, std::u16string_view single_filter_text,
                              std::u16string_view double_filter_text);

}  // namespace quillmere
