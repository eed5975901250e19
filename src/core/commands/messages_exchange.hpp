#pragma once
// The catalogue's texts of carrying a translation to and from other tools'
// files (PO, CSV, ParaTranz JSON).

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/commands/message.hpp"

namespace quillmere {

struct BoxLimitInput;

namespace messages {

// The note each unit carries for its translator, in two parts around the
// record's byte count: 长度：12字节, then the limits of the game's text boxes
// when they are given (；每行最多20字 …).
struct UnitNote {
    std::u16string before, after;
};
UnitNote unit_note(const BoxLimitInput& limits);

Message exchange_exported(std::size_t units, std::size_t translated);
Message exchange_imported(std::size_t records, std::size_t translated);
Message exchange_problems(std::size_t count);
Message exchange_file_unreadable(const std::filesystem::path& path);
Message original_unreadable(const std::filesystem::path& path);
Message translation_unreadable(const std::filesystem::path& path);

// One problem each, one line each.
Message malformed_line(std::size_t line);
Message key_not_in_original(std::u16string_view key);
Message key_twice(std::u16string_view key);
Message source_changed(std::u16string_view key);
Message target_breaks_record(std::u16string_view key);
Message not_gbk_in(std::u16string_view key, char32_t character);
Message untranslated(std::u16string_view key);
// Of the scripts read: the original and a translation script.
Message original_unsplit(std::u16string_view address);
Message original_twice(std::u16string_view address);
Message translation_unsplit(std::u16string_view address);

}  // namespace messages
}  // namespace quillmere
