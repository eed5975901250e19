#pragma once
// The catalogue's texts of finding text without its table and of the table
// made from a hit.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/commands/message.hpp"

namespace quillmere {
namespace find {
struct QueryFailure;
}

namespace messages {

Message query_failure(const find::QueryFailure& failure);
Message bad_find_range(std::u16string_view text);
Message find_range_outside_rom();
Message sequence_unreadable(const std::filesystem::path& path);
Message empty_sequence(const std::filesystem::path& path);
Message no_such_hit(std::size_t hit, std::size_t total);
Message no_characters_for_table();
Message no_table_from_text();
// The outcome: how many places, and how many of them were not listed.
Message places_found(std::size_t total, std::size_t listed);
// The same, and the table written from hit `hit`.
Message table_from_hit(std::size_t total, std::size_t listed, std::size_t hit, const std::filesystem::path& table);

}  // namespace messages
}  // namespace quillmere
