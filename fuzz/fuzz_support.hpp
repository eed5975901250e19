#pragma once
// Turning fuzzer bytes into the values the core takes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "core/text/gbk.hpp"
#include "core/text/lines.hpp"

namespace quillmere::fuzz {

inline std::span<const std::uint8_t> bytes(const std::uint8_t* data, std::size_t size) { return {data, size}; }

// Text as a translator's file would give it: code page 936.
inline std::u16string text_of(std::span<const std::uint8_t> data) { return text::decode_gbk(data).text; }

inline std::vector<std::u16string> lines_of(std::span<const std::uint8_t> data) {
    return text::split_lines(text_of(data));
}

// Splits the input at the first occurrence of `separator` (a byte unlikely
// in real text), so one input can carry several files.
inline std::vector<std::span<const std::uint8_t>> parts(std::span<const std::uint8_t> data, std::size_t count,
                                                        std::uint8_t separator = 0xFF) {
    std::vector<std::span<const std::uint8_t>> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size() && out.size() + 1 < count; ++i) {
        if (data[i] == separator) {
            out.push_back(data.subspan(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(data.subspan(start));
    while (out.size() < count) out.push_back({});
    return out;
}

// An invariant broke: stop so the fuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace quillmere::fuzz
