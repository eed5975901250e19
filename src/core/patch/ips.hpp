#pragma once
// IPS patches: "PATCH", records of a 3-byte offset and a 2-byte size
// followed by the bytes (a size of 0: a 2-byte count and one byte repeated),
// "EOF", and, when the result is shorter than the original, its 3-byte
// length.

#include <cstdint>
#include <optional>
#include <span>

#include "core/expected.hpp"
#include "core/memory/large_buffer.hpp"
#include "core/patch/patch_bytes.hpp"

namespace quillmere::patch {

// The largest result an IPS patch can describe: offsets have three bytes.
inline constexpr std::uint64_t kIpsLimit = std::uint64_t{1} << 24;

// The patch that makes `modified` from `original`: refused (too_large_for_ips)
// for a result over 16 MiB, or one shorter than the original whose length
// three bytes cannot hold.
Expected<Bytes, PatchFailure> create_ips(std::span<const std::uint8_t> original,
                                         std::span<const std::uint8_t> modified);

struct IpsSummary {
    std::uint64_t records = 0;
    std::uint64_t run_records = 0;       // of them, one byte repeated
    std::uint64_t reach = 0;             // one past the last byte a record writes
    std::optional<std::uint32_t> truncation;  // the length after "EOF"
};

// Reads the whole patch; the first damage, at its offset.
Expected<IpsSummary, PatchFailure> read_ips(std::span<const std::uint8_t> patch);

// The original with the patch applied.
Expected<memory::ByteBuffer, PatchFailure> apply_ips(std::span<const std::uint8_t> original,
                                                     std::span<const std::uint8_t> patch);

}  // namespace quillmere::patch
