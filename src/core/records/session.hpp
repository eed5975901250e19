#pragma once
// Start-up and shut-down: what the window restores from, and keeps in, its
// data directory.

#include <filesystem>
#include <optional>
#include <string>

#include "core/expected.hpp"
#include "core/files/files.hpp"
#include "core/records/records.hpp"

namespace quillmere::records {

inline constexpr const char* kSingleFilterFileName = "glq.dat";
inline constexpr const char* kDoubleFilterFileName = "glq2.dat";

std::filesystem::path settings_file_path(const std::filesystem::path& data_dir);

struct StartupState {
    RecordList records;               // List1
    std::u16string single_filter_text;  // Text6
    std::u16string double_filter_text;  // Text12
};

// Each part on its own: a missing file leaves its own part empty.
StartupState start_up(const std::filesystem::path& data_dir);

// Writes both filter list files; a file that cannot be written does not stop
// the other. Fails when either could not be written.
[[nodiscard]] Expected<Done, files::FileError> shut_down(const std::filesystem::path& data_dir, std::u16string_view single_filter_text,
                                 std::u16string_view double_filter_text);

}  // namespace quillmere::records
