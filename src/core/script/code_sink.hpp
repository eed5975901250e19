#pragma once
// Where the walks of an entry's text put what they read: counted only, or
// counted and encoded.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "core/script/entry_failure.hpp"
#include "core/script/reverse_tables.hpp"

namespace quillmere::code_sink {

// What a walk gives: the count `textlen` makes and, when `Encode`, the bytes
// `text2code` writes, into a buffer with room for two bytes per unit of text
// (no character, tag or marker takes more).
template <bool Encode>
struct Sink {
    std::uint8_t* out = nullptr;
    std::size_t count = 0;
    std::optional<EntryFailure> encoding_failure;

    void byte(std::uint8_t value) {
        ++count;
        if constexpr (Encode) *out++ = value;
    }
    void code(CodeBytes code) {
        count += code.size;
        if constexpr (Encode) {
            out[0] = code.bytes[0];
            out[1] = code.bytes[1];
            out += code.size;
        }
    }
    // The characters from `p` on that are their own only value, read by
    // two bytes at a time through GbkReverseTables::by_two_bytes, up to
    // `last` (the place of the text's last byte, which has no byte after
    // it); `p` ends on the first character that is not. Count and cursor
    // stay in registers meanwhile: this is the loop nearly every byte of a
    // script passes.
    void run_of_characters(const std::uint32_t* by_two, const std::uint8_t*& p, const std::uint8_t* last) {
        std::size_t counted = count;
        std::uint8_t* cursor = out;
        const std::uint8_t* at = p;
        while (at < last) {
            std::uint16_t two;
            std::memcpy(&two, at, 2);
            if constexpr (std::endian::native == std::endian::big) two = static_cast<std::uint16_t>(two << 8 | two >> 8);
            const std::uint32_t code = by_two[two];
            if (code == 0) break;
            const std::size_t size = (code >> 16) & 3;
            counted += size;
            if constexpr (Encode) {
                cursor[0] = static_cast<std::uint8_t>(code);
                cursor[1] = static_cast<std::uint8_t>(code >> 8);
                cursor += size;
            }
            at += code >> 24;
        }
        p = at;
        count = counted;
        out = cursor;
    }
    void measured_only(std::size_t bytes) { count += bytes; }
    void encoded_only(std::uint8_t value) {
        if constexpr (Encode) *out++ = value;
    }
    void encoding_fails(EntryFailure failure) {
        if (!encoding_failure) encoding_failure = std::move(failure);
    }
};

}  // namespace quillmere::code_sink
