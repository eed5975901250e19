#pragma once
// Loading a translation file into the translation area (text10).

#include <filesystem>
#include <optional>
#include <string>

#include "core/message.hpp"

namespace quillmere {

// The file's lines, each followed by CR LF (the last one too); nullopt when
// the file cannot be read, in which case the area keeps its text.
std::optional<std::u16string> load_translation_text(const std::filesystem::path& path);

// "译文读取成功" (提示), shown after a load.
Message translation_loaded_message();

}  // namespace quillmere
