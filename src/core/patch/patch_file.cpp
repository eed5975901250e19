#include "core/patch/patch_file.hpp"

#include <algorithm>
#include <string_view>

#include "core/patch/checksums.hpp"
#include "core/patch/ups.hpp"

namespace quillmere::patch {
namespace {

bool starts_with(std::span<const std::uint8_t> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin(), [](char m, std::uint8_t b) {
               return static_cast<std::uint8_t>(m) == b;
           });
}

}  // namespace

std::optional<PatchFormat> format_of(std::span<const std::uint8_t> patch) {
    if (starts_with(patch, "PATCH")) return PatchFormat::ips;
    if (starts_with(patch, "BPS1")) return PatchFormat::bps;
    if (starts_with(patch, "UPS1")) return PatchFormat::ups;
    return std::nullopt;
}

Expected<Applied, PatchFailure> apply_patch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch,
                                            const ApplyOptions& options) {
    const auto format = format_of(patch);
    if (!format) return unexpected(PatchFailure{PatchFault::unknown_format});
    switch (*format) {
    case PatchFormat::bps: return apply_bps(source, patch, options);
    case PatchFormat::ups: return apply_ups(source, patch, options);
    case PatchFormat::ips: break;
    }
    auto bytes = apply_ips(source, patch);
    if (!bytes) return unexpected(bytes.error());
    return Applied{std::move(*bytes), {}};
}

Expected<PatchInfo, PatchFailure> describe_patch(std::span<const std::uint8_t> patch) {
    const auto format = format_of(patch);
    if (!format) return unexpected(PatchFailure{PatchFault::unknown_format});
    PatchInfo info;
    info.format = *format;
    switch (*format) {
    case PatchFormat::ips: {
        auto summary = read_ips(patch);
        if (!summary) return unexpected(summary.error());
        info.ips = *summary;
        return info;
    }
    case PatchFormat::bps: {
        auto header = read_bps_header(patch, UINT64_MAX);
        if (!header) return unexpected(header.error());
        auto commands = check_bps_commands(patch, *header);
        if (!commands) return unexpected(commands.error());
        info.source_size = header->source_size;
        info.target_size = header->target_size;
        info.source_crc = header->source_crc;
        info.target_crc = header->target_crc;
        info.recorded_patch_crc = header->patch_crc;
        info.metadata = header->metadata;
        info.commands = *commands;
        break;
    }
    case PatchFormat::ups: {
        auto header = read_ups_header(patch, UINT64_MAX);
        if (!header) return unexpected(header.error());
        auto hunks = check_ups_hunks(patch, *header);
        if (!hunks) return unexpected(hunks.error());
        info.source_size = header->source_size;
        info.target_size = header->target_size;
        info.source_crc = header->source_crc;
        info.target_crc = header->target_crc;
        info.recorded_patch_crc = header->patch_crc;
        info.hunks = *hunks;
        break;
    }
    }
    info.patch_crc = crc32(patch.first(patch.size() - 4));
    return info;
}

}  // namespace quillmere::patch
