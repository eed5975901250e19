#pragma once
// A job set up in the window, read from the data directory it keeps: the
// address ranges of named records and the two filter lists.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/commands/export_command.hpp"
#include "core/commands/filter_lists.hpp"
#include "core/commands/message.hpp"
#include "core/expected.hpp"

namespace quillmere {

// The start and end texts of each named record, in the order named; the
// first record of a name counts. "找不到记录：" + NAME when none has it.
[[nodiscard]] Expected<std::vector<TypedRange>, Message> stored_ranges(const std::filesystem::path& data_dir,
                                                                       std::span<const std::u16string> names);

struct StoredFilterLists {
    FilterListInput single;       // "glq.dat"
    FilterListInput double_byte;  // "glq2.dat"
};

// Both lists, ticked (an empty one is unticked by the command, as in the
// window), read by the one rule for filter list files; a missing file is an
// empty list, as at the window's start-up.
[[nodiscard]] Expected<StoredFilterLists, Message> stored_filter_lists(const std::filesystem::path& data_dir);

}  // namespace quillmere
