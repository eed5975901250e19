#pragma once
// The catalogue's texts of release patches, checksums and the diff of two
// images (part of the message catalogue, messages.hpp).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/commands/message.hpp"
#include "core/patch/checksums.hpp"
#include "core/patch/patch_file.hpp"
#include "core/patch/patch_types.hpp"

namespace quillmere::messages {

// ---- patches
Message patch_failure(const patch::PatchFailure& failure);
// A checksum that does not match, let through: one line for standard error.
std::u16string ignored_checksum(const patch::PatchFailure& failure);
Message file_unreadable(const std::filesystem::path& path);
Message ips_without_metadata();
Message patch_created(patch::PatchFormat format, std::uint64_t bytes);
Message patch_applied(patch::PatchFormat format);
Message patch_readable(patch::PatchFormat format);
// What `patch info` shows, a line each.
std::vector<std::u16string> patch_info_lines(const patch::PatchInfo& info);

// ---- checksums for the release notes: "原始：N字节  CRC32 …  MD5 …  SHA-1 …"
std::u16string original_checksums(std::uint64_t size, const patch::Digests& digests);
std::u16string result_checksums(std::uint64_t size, const patch::Digests& digests);

// ---- what changed between two images
std::u16string changed_range(std::uint64_t first, std::uint64_t last, std::uint64_t changed);
std::u16string explained_range(std::uint64_t first, std::uint64_t last, std::uint64_t changed,
                               std::u16string_view explanation);
std::u16string unexplained_range(std::uint64_t first, std::uint64_t last);
std::u16string size_changed(std::uint64_t from, std::uint64_t to);
// What explains a change: a record of the script, a pointer, a free block.
std::u16string record_explains(std::u16string_view address);
std::u16string pointer_explains(std::uint32_t address);
std::u16string free_block_explains(std::uint32_t start, std::uint32_t end);
Message diff_summary(std::size_t ranges, std::uint64_t bytes);
Message unexplained_changes(std::size_t ranges);

}  // namespace quillmere::messages
