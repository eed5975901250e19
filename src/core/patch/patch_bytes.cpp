#include "core/patch/patch_bytes.hpp"

namespace quillmere::patch {

void put_number(Bytes& out, std::uint64_t value) {
    for (;;) {
        const auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        if (value == 0) {
            out.push_back(static_cast<std::uint8_t>(0x80 | low));
            return;
        }
        out.push_back(low);
        --value;
    }
}

void put_le32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Expected<std::uint64_t, PatchFailure> PatchCursor::number() {
    const std::size_t start = at_;
    std::uint64_t value = 0;
    std::uint64_t shift = 1;
    for (int bytes = 0; at_ < end_; ++bytes) {
        const std::uint8_t x = patch_[at_++];
        // Ten bytes hold any 64-bit value; the value and the weight of the
        // next byte must stay within 64 bits.
        const std::uint64_t part = std::uint64_t{x & 0x7Fu};
        if (bytes >= 10 || (part != 0 && part > (UINT64_MAX - value) / shift)) return unexpected(damaged_at(start));
        value += part * shift;
        if (x & 0x80) return value;
        if (shift > (UINT64_MAX >> 7)) return unexpected(damaged_at(start));
        shift <<= 7;
        if (value > UINT64_MAX - shift) return unexpected(damaged_at(start));
        value += shift;
    }
    return unexpected(damaged_at(at_));
}

Expected<std::uint32_t, PatchFailure> PatchCursor::big_endian(std::size_t count) {
    if (left() < count) return unexpected(damaged_at(end_));
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = value << 8 | patch_[at_++];
    return value;
}

Expected<std::uint8_t, PatchFailure> PatchCursor::byte() {
    if (at_ >= end_) return unexpected(damaged_at(end_));
    return patch_[at_++];
}

Expected<std::span<const std::uint8_t>, PatchFailure> PatchCursor::take(std::uint64_t count) {
    if (count > left()) return unexpected(damaged_at(end_));
    const auto piece = patch_.subspan(at_, static_cast<std::size_t>(count));
    at_ += static_cast<std::size_t>(count);
    return piece;
}

std::uint32_t le32_at(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return std::uint32_t{bytes[offset]} | std::uint32_t{bytes[offset + 1]} << 8 |
           std::uint32_t{bytes[offset + 2]} << 16 | std::uint32_t{bytes[offset + 3]} << 24;
}

}  // namespace quillmere::patch
