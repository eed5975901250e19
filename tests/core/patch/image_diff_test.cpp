// The changes between two images, by themselves and as the explanations
// given claim them.
#include "core/patch/image_diff.hpp"

#include <gtest/gtest.h>

#include <string_view>

namespace quillmere::patch {
namespace {

using Bytes = std::vector<std::uint8_t>;
Bytes raw(std::string_view text) { return Bytes(text.begin(), text.end()); }

ChangedRange range(std::uint64_t first, std::uint64_t last, std::uint64_t changed,
                   std::optional<std::size_t> by = std::nullopt) {
    return {first, last, changed, by};
}

TEST(image_diff_test, changes_and_what_explains_them) {
    struct Case {
        const char* what;
        std::string_view original, modified;
        std::vector<Explanation> explanations;
        std::vector<ChangedRange> expected;
    };
    const Case cases[] = {
        {"the same", "abcdef", "abcdef", {}, {}},
        {"runs", "abcdefgh", "aXcdYZgh", {}, {range(1, 1, 1), range(4, 5, 2)}},
        {"grown, the last run joining the new bytes", "abcd", "abcXef", {}, {range(3, 5, 3)}},
        {"cut", "abcdef", "abX", {}, {range(2, 5, 4)}},
        {"one explanation, two runs, one line", "abcdefgh", "aXcdYZgh", {{0, 7}}, {range(1, 5, 3, 0)}},
        {"the first in the list owns a byte two cover", "abcdefgh", "aXXXXXgh", {{0, 7}, {2, 3}},
         {range(1, 5, 5, 0)}},
        {"a later one keeps what the first does not cover", "abcdefgh", "aXXXXXgh", {{2, 3}, {0, 7}},
         {range(1, 5, 3, 1), range(2, 3, 2, 0)}},
        {"unexplained on both sides of an explanation", "abcdefgh", "aXXXXXgh", {{3, 3}},
         {range(1, 2, 2), range(3, 3, 1, 0), range(4, 5, 2)}},
        {"an explanation that touches no change plays no part", "abcdefgh", "Xbcdefgh", {{4, 7}, {0, 0}},
         {range(0, 0, 1, 1)}},
        {"an explanation past the end is cut to it", "abcd", "abcdXY", {{5, 100}}, {range(4, 4, 1), range(5, 5, 1, 0)}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(diff_images(raw(c.original), raw(c.modified), c.explanations), c.expected) << c.what;
    }
}

// A large image with scattered changes: every changed byte is counted once,
// in a range of the explanation that owns it.
TEST(image_diff_test, every_changed_byte_is_counted_once) {
    Bytes original(1u << 16), modified;
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i * 31 + i / 7);
    modified = original;
    std::vector<Explanation> explanations;
    std::uint64_t changed = 0;
    for (std::uint64_t at = 5; at < original.size(); at += 97) {
        modified[at] ^= 0x55;
        ++changed;
        if (at % 3 == 0) explanations.push_back({at - 2, at + 40});
    }
    std::uint64_t counted = 0;
    std::uint64_t previous_first = 0;
    for (const ChangedRange& r : diff_images(original, modified, explanations)) {
        counted += r.changed;
        EXPECT_GE(r.first, previous_first);
        previous_first = r.first;
        if (r.explained_by) {
            const Explanation& e = explanations[*r.explained_by];
            EXPECT_LE(e.first, r.first);
            EXPECT_GE(e.last, r.last);
        }
    }
    EXPECT_EQ(counted, changed);
}

}  // namespace
}  // namespace quillmere::patch
