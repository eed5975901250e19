// IPS as the format lays it out: records read from hand-made patches, the
// writer's choices (runs, the offset that reads as "EOF", the truncation,
// the 16 MiB limit), and every damaged patch refused at its offset.
#include "core/patch/ips.hpp"

#include <gtest/gtest.h>

#include <string_view>

namespace quillmere::patch {
namespace {

Bytes raw(std::string_view text) { return Bytes(text.begin(), text.end()); }
Bytes as_bytes(const memory::ByteBuffer& buffer) { return Bytes(buffer.begin(), buffer.end()); }

// The offsets where records start, walked as the format lays them out.
std::vector<std::uint32_t> record_offsets(const Bytes& patch) {
    std::vector<std::uint32_t> offsets;
    std::size_t at = 5;
    for (;;) {
        const std::uint32_t offset = patch[at] << 16 | patch[at + 1] << 8 | patch[at + 2];
        if (offset == 0x454F46) return offsets;
        offsets.push_back(offset);
        const std::uint32_t size = patch[at + 3] << 8 | patch[at + 4];
        at += 5 + (size == 0 ? 3 : size);
    }
}

TEST(ips_test, hand_made_records_plain_run_growth_and_truncation) {
    const Bytes original = raw("0123456789");
    struct Case {
        std::string_view patch;
        std::string_view result;
    };
    const Case cases[] = {
        {std::string_view("PATCH\0\0\x02\0\x03" "abcEOF", 16), "01abc56789"},
        {std::string_view("PATCH\0\0\x01\0\0\0\x04ZEOF", 16), "0ZZZZ56789"},
        // A record past the end grows the image, the gap filled with zeros.
        {std::string_view("PATCH\0\0\x0C\0\x01xEOF", 14), std::string_view("0123456789\0\0x", 13)},
        // The three bytes after "EOF" cut the result.
        {std::string_view("PATCH\0\0\0\0\x01zEOF\0\0\x04", 17), "z123"},
        {"PATCHEOF", "0123456789"},
    };
    for (const Case& c : cases) {
        auto result = apply_ips(original, raw(c.patch));
        ASSERT_TRUE(result) << c.patch;
        EXPECT_EQ(as_bytes(*result), raw(c.result));
    }
}

TEST(ips_test, damaged_patches_are_refused_at_their_offset) {
    const Bytes original = raw("0123456789");
    struct Case {
        std::string_view patch;
        std::uint64_t offset;
    };
    const Case cases[] = {
        {"PATCH", 5},                                             // no "EOF"
        {std::string_view("PATCH\0\0\x02\0\x03" "ab", 12), 12},   // record cut short
        {std::string_view("PATCH\0\0\x02\0", 9), 9},              // size cut short
        {std::string_view("PATCH\0\0\x02\0\0\0\0AEOF", 16), 5},   // a run of no bytes
        {std::string_view("PATCH\0\0\x02\0\0\0\x02", 12), 12},    // run without its byte
        {"PATCHEOFxy", 8},                                        // two stray bytes after "EOF"
        {"PATCHEOFxyzw", 8},                                      // four
        {std::string_view("PATCHEOF\0\0\x20", 11), 8},            // cut to more than there is
    };
    for (const Case& c : cases) {
        auto result = apply_ips(original, raw(c.patch));
        ASSERT_FALSE(result) << c.patch;
        EXPECT_EQ(result.error(), damaged_at(c.offset)) << c.patch;
    }
    EXPECT_EQ(apply_ips(original, raw("PATCX")).error().fault, PatchFault::unknown_format);
}

TEST(ips_test, the_writer_takes_runs_apart_and_cuts_a_shorter_result) {
    Bytes original(4000, 'a');
    Bytes modified = original;
    std::fill(modified.begin() + 100, modified.begin() + 1100, 'b');  // one run
    modified[2000] = 'c';
    modified.resize(3000);
    const Bytes patch = *create_ips(original, modified);
    // Header, a run record (8), a one-byte record (6), "EOF" and the length.
    EXPECT_EQ(patch.size(), 5u + 8 + 6 + 3 + 3);
    EXPECT_EQ(Bytes(patch.end() - 6, patch.end()), Bytes({'E', 'O', 'F', 0x00, 0x0B, 0xB8}));
    EXPECT_EQ(as_bytes(*apply_ips(original, patch)), modified);
}

// A record may not start at 454F46, which a reader takes for "EOF": it
// starts a byte earlier, whether plain or a run.
TEST(ips_test, no_record_starts_at_the_offset_that_reads_as_eof) {
    constexpr std::size_t kEof = 0x454F46;
    const Bytes original(kEof + 64, 0x11);
    for (std::size_t length : {1u, 3u, 40u}) {
        Bytes modified = original;
        std::fill_n(modified.begin() + kEof, length, std::uint8_t{0x22});
        modified[kEof + 50] = 0x33;  // a change after it, which a reader stopping early would miss
        const Bytes patch = *create_ips(original, modified);
        const auto offsets = record_offsets(patch);
        EXPECT_EQ(std::count(offsets.begin(), offsets.end(), kEof), 0) << length;
        EXPECT_EQ(offsets.front(), kEof - 1) << length;
        auto result = apply_ips(original, patch);
        ASSERT_TRUE(result) << length;
        EXPECT_EQ(as_bytes(*result), modified) << length;
    }
}

TEST(ips_test, results_beyond_16_mib_are_refused) {
    const Bytes small(16, 0);
    const Bytes limit(kIpsLimit, 1);
    EXPECT_TRUE(create_ips(small, limit));
    const Bytes over(kIpsLimit + 1, 1);
    auto refused = create_ips(small, over);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().fault, PatchFault::too_large_for_ips);
    // 16 MiB cut from something longer: the length does not fit three bytes.
    EXPECT_FALSE(create_ips(over, limit));
}

}  // namespace
}  // namespace quillmere::patch
