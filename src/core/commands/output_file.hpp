#pragma once
// Where a command may write the text it produces.

#include <filesystem>
#include <optional>

#include "core/message.hpp"

namespace quillmere {

// A text written over the ROM being read would destroy the ROM: refused with
// "不能把文本写入正在读取的ROM文件" (错误) when `out` names the same file as
// `rom`, also through a link or under another name.
// Whether two paths name one file, through links too; paths of files not yet
// made are compared as written out in full.
bool names_one_file(const std::filesystem::path& a, const std::filesystem::path& b);

std::optional<Message> refuse_output_over_rom(const std::filesystem::path& out, const std::filesystem::path& rom);

}  // namespace quillmere
