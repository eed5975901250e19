#pragma once
// Where the check and the import read the translation script from: the
// file named in Text8, or the translation area (Text10) written through
// "temp.txt" in the data directory and read back.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/expected.hpp"
#include "core/message.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

inline constexpr const char* kScriptTempFile = "temp.txt";

// The whole script text; "译文读取失败" when it cannot be read. Without a
// data directory a previewed text is used as it is.
Expected<std::u16string, Message> open_script(bool preview, const std::filesystem::path& script_file,
                                              std::u16string_view script_text,
                                              const std::optional<std::filesystem::path>& data_dir,
                                              text::Encoding encoding = text::Encoding::gbk);

}  // namespace quillmere
