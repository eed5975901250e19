#pragma once
// How export, check and import take the two filter lists from the window:
// an empty list unticks its box; a ticked list passes through its temporary
// file in the data directory ("temp2.txt" double-byte, "temp3.txt"
// single-byte) and is read back line by line.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/encoding/filter.hpp"
#include "core/expected.hpp"
#include "core/files/files.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

struct FilterListInput {
    std::u16string text;  // the box text (Text6 or Text12)
    bool ticked = false;  // Check3 or Check2
    // Read from a file holding bytes its encoding does not define: such a
    // list is badly filled, as no box could have held it.
    bool bad_bytes = false;
};

// A filter list kept in a file (glq.dat, or a file named on the command
// line), ticked, read by the one rule for such files.
[[nodiscard]] Expected<FilterListInput, files::FileError> filter_list_from_file(
    const std::filesystem::path& path, text::Encoding encoding = text::Encoding::gbk);

inline constexpr const char* kDoubleFilterTempFile = "temp2.txt";
inline constexpr const char* kSingleFilterTempFile = "temp3.txt";

// The lines of one list as the command parses them.
struct FilterListLines {
    bool untick = false;  // the list is empty, so its box must be unticked
    // Only when the list takes part; nullopt otherwise.
    std::optional<std::vector<std::u16string>> lines;
};

// Without a data directory (the command line) the text is split directly.
// A bad entry when the temporary file cannot be written or read back, and,
// without one, when the text holds what that file could not.
[[nodiscard]] Expected<FilterListLines, FilterFailure> filter_list_lines(const FilterListInput& list,
                                                  const std::optional<std::filesystem::path>& data_dir,
                                                  const char* temp_file_name,
                                                  text::Encoding encoding = text::Encoding::gbk);

}  // namespace quillmere
