#pragma once
// Reading and writing the fields of a patch: fixed-width numbers, and the
// variable-length numbers of BPS and UPS. Every read is checked against the
// patch's end and reports the offset where the patch falls short.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/expected.hpp"
#include "core/patch/patch_types.hpp"

namespace quillmere::patch {

using Bytes = std::vector<std::uint8_t>;

// Appends the variable-length number of BPS and UPS: seven bits a byte,
// the last byte marked by its high bit, each following byte counting one
// more (so every value has exactly one spelling).
void put_number(Bytes& out, std::uint64_t value);
void put_le32(Bytes& out, std::uint32_t value);

class PatchCursor {
public:
    explicit PatchCursor(std::span<const std::uint8_t> patch, std::size_t end) : patch_(patch), end_(end) {}
    explicit PatchCursor(std::span<const std::uint8_t> patch) : PatchCursor(patch, patch.size()) {}

    std::size_t offset() const { return at_; }
    bool at_end() const { return at_ >= end_; }
    std::size_t left() const { return end_ - at_; }

    // A number of BPS and UPS; one that runs past the end or past 64 bits is
    // damage at its first byte.
    Expected<std::uint64_t, PatchFailure> number();
    // `count` bytes, big-endian (IPS).
    Expected<std::uint32_t, PatchFailure> big_endian(std::size_t count);
    Expected<std::uint8_t, PatchFailure> byte();
    // The next `count` bytes.
    Expected<std::span<const std::uint8_t>, PatchFailure> take(std::uint64_t count);

private:
    std::span<const std::uint8_t> patch_;
    std::size_t end_;
    std::size_t at_ = 0;
};

std::uint32_t le32_at(std::span<const std::uint8_t> bytes, std::size_t offset);

}  // namespace quillmere::patch
