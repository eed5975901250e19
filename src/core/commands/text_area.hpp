#pragma once
// The text area's commands: saving the source text (text9) to a file the
// user names, and loading a translation file into the translation area
// (text10).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/commands/command_result.hpp"

namespace quillmere {

// The record name proposes the file name, so saving needs one before the
// dialog opens: "请先输入名称" (错误) when it is empty, nothing to show
// otherwise.
CommandResult<> check_source_text_name(std::u16string_view name);

// Writes the text followed by CR LF in code page 936, creating or replacing
// the file. "保存文本成功" (提示); the file name message (错误) when the file
// cannot be written; a character code page 936 cannot hold is named and
// nothing is written. A path that names the ROM (Text1) is refused and
// nothing is written.
CommandResult<> save_source_text(const std::filesystem::path& path, std::u16string_view source_text,
                                 const std::filesystem::path& rom);

// The file's lines, each followed by CR LF (the last one too), and
// "译文读取成功" (提示). A file that cannot be read gives no text and no
// message: the area keeps its text.
CommandResult<std::optional<std::u16string>> load_translation(const std::filesystem::path& path);

}  // namespace quillmere
