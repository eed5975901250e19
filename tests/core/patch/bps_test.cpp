// BPS as the published format lays it out: its numbers, a hand-made patch
// using all four commands, and each refusal: damage at its offset, and the
// three checksums, which --ignore-checksum lets through.
#include "core/patch/bps.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include "core/patch/patch_file.hpp"
#include "image_pairs.hpp"

namespace quillmere::patch {
namespace {

Bytes as_bytes(const memory::ByteBuffer& buffer) { return Bytes(buffer.begin(), buffer.end()); }
std::uint32_t zlib_crc(const Bytes& bytes) {
    return static_cast<std::uint32_t>(::crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// The footer of a hand-made patch: CRC32 of source, target and the patch so far.
void close_patch(Bytes& patch, const Bytes& source, const Bytes& target) {
    put_le32(patch, zlib_crc(source));
    put_le32(patch, zlib_crc(target));
    put_le32(patch, zlib_crc(patch));
}

TEST(bps_test, numbers_have_one_spelling_and_read_back) {
    const std::pair<std::uint64_t, Bytes> spelled[] = {
        {0, {0x80}}, {127, {0xFF}}, {128, {0x00, 0x80}}, {255, {0x7F, 0x80}}, {16511, {0x7F, 0xFF}},
        {16512, {0x00, 0x00, 0x80}}, {UINT64_MAX, {0x7F, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x80}},
    };
    for (const auto& [value, bytes] : spelled) {
        Bytes out;
        put_number(out, value);
        EXPECT_EQ(out, bytes) << value;
        PatchCursor cursor(bytes);
        EXPECT_EQ(*cursor.number(), value);
    }
    // Past 64 bits, or cut short: damage at the number's first byte, or at the end.
    const Bytes too_large = {0x7F, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x7F, 0x80};
    EXPECT_EQ(PatchCursor(too_large).number().error(), damaged_at(0));
    EXPECT_EQ(PatchCursor(Bytes{0x00, 0x01}).number().error(), damaged_at(2));
}

TEST(bps_test, a_hand_made_patch_with_every_command) {
    const Bytes source = {'a', 'b', 'c', 'd', 'e', 'f'};
    // Target: "ab" read in place, "XY" from the patch, "ef" copied from the
    // source's end, "efefe" copied from the target two bytes back, each
    // byte copied after the one it repeats was built.
    const Bytes target = {'a', 'b', 'X', 'Y', 'e', 'f', 'e', 'f', 'e', 'f', 'e'};
    Bytes patch = {'B', 'P', 'S', '1', 0x86, 0x8B, 0x83, 'm', 'e', 't'};
    const Bytes commands = {
        0x84,            // SourceRead 2
        0x85, 'X', 'Y',  // TargetRead 2
        0x86, 0x88,      // SourceCopy 2, source offset +4
        0x93, 0x88,      // TargetCopy 5, target offset +4
    };
    patch.insert(patch.end(), commands.begin(), commands.end());
    close_patch(patch, source, target);

    auto applied = apply_bps(source, patch);
    ASSERT_TRUE(applied) << applied.error().offset;
    EXPECT_EQ(as_bytes(applied->bytes), target);
    auto info = describe_patch(patch);
    ASSERT_TRUE(info);
    EXPECT_EQ(Bytes(info->metadata.begin(), info->metadata.end()), Bytes({'m', 'e', 't'}));
    EXPECT_EQ(info->commands.source_reads + info->commands.target_reads + info->commands.source_copies +
                  info->commands.target_copies,
              4u);
    EXPECT_EQ(info->patch_crc, info->recorded_patch_crc);
}

TEST(bps_test, the_writer_records_sizes_metadata_and_checksums) {
    const Bytes source = testing::make_original(5000, 1);
    const Bytes target = testing::make_modified(source, 1, -300);
    const Bytes metadata = {'<', 'x', '/', '>'};
    const Bytes patch = create_bps(source, target, metadata);
    auto header = read_bps_header(patch);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->source_size, source.size());
    EXPECT_EQ(header->target_size, target.size());
    EXPECT_EQ(Bytes(header->metadata.begin(), header->metadata.end()), metadata);
    EXPECT_EQ(header->source_crc, zlib_crc(source));
    EXPECT_EQ(header->target_crc, zlib_crc(target));
    EXPECT_EQ(header->patch_crc, zlib_crc(Bytes(patch.begin(), patch.end() - 4)));
}

TEST(bps_test, checksums_refuse_unless_ignored) {
    const Bytes source = testing::make_original(3000, 2);
    const Bytes target = testing::make_modified(source, 2, 0);
    const Bytes patch = create_bps(source, target);
    const ApplyOptions ignore{true};

    Bytes other = source;
    other[10] ^= 1;
    auto wrong_rom = apply_bps(other, patch);
    ASSERT_FALSE(wrong_rom);
    EXPECT_EQ(wrong_rom.error(), (PatchFailure{PatchFault::source_checksum, 0, zlib_crc(source), zlib_crc(other)}));
    auto let_through = apply_bps(other, patch, ignore);
    ASSERT_TRUE(let_through);
    EXPECT_EQ(let_through->ignored.size(), 2u);  // the source's checksum, then the result's
    EXPECT_EQ(let_through->ignored[0].fault, PatchFault::source_checksum);
    EXPECT_EQ(let_through->ignored[1].fault, PatchFault::target_checksum);

    // A ROM shorter than the patch reads cannot be let through.
    const Bytes shorter(source.begin(), source.end() - 1);
    EXPECT_EQ(apply_bps(shorter, patch, ignore).error().fault, PatchFault::source_too_short);

    Bytes recorded_wrong = patch;
    recorded_wrong.back() ^= 0x40;
    EXPECT_EQ(apply_bps(source, recorded_wrong).error().fault, PatchFault::patch_checksum);
    EXPECT_TRUE(apply_bps(source, recorded_wrong, ignore));

    // The recorded result checksum is wrong, the patch's own one made right.
    Bytes target_wrong(patch.begin(), patch.end() - 8);
    put_le32(target_wrong, zlib_crc(target) ^ 1);
    put_le32(target_wrong, zlib_crc(target_wrong));
    auto refused = apply_bps(source, target_wrong);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), (PatchFailure{PatchFault::target_checksum, 0, zlib_crc(target) ^ 1, zlib_crc(target)}));
}

TEST(bps_test, damaged_patches_are_refused_at_their_offset) {
    const Bytes source = {'a', 'b', 'c', 'd'};
    const Bytes header = {'B', 'P', 'S', '1', 0x84, 0x84, 0x80};  // sizes 4 and 4, no metadata
    struct Case {
        const char* what;
        Bytes commands;
        std::uint64_t offset;
    };
    const Case cases[] = {
        {"reads past the source", {0x86, 0x86}, 7},           // SourceCopy 2 at 3
        {"writes past the target", {0x90}, 7},                 // SourceRead 5
        {"copies from before the source", {0x86, 0x83}, 7},    // SourceCopy at -1
        {"copies from a target not built", {0x87, 0x80}, 7},   // TargetCopy 2 at 0 with nothing built
        {"falls short of the target", {0x84}, 8},              // SourceRead 2 of 4
        {"literal cut by the footer", {0x8D, 'x'}, 9},         // TargetRead 4, one byte there
    };
    for (const Case& c : cases) {
        Bytes patch = header;
        patch.insert(patch.end(), c.commands.begin(), c.commands.end());
        close_patch(patch, source, source);
        auto result = apply_bps(source, patch);
        ASSERT_FALSE(result) << c.what;
        EXPECT_EQ(result.error(), damaged_at(c.offset)) << c.what;
        EXPECT_EQ(describe_patch(patch).error(), damaged_at(c.offset)) << c.what;
    }
    // A result too large to build is refused before anything is built.
    Bytes huge = {'B', 'P', 'S', '1', 0x84, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x80, 0x80};
    close_patch(huge, source, source);
    EXPECT_EQ(apply_bps(source, huge).error().fault, PatchFault::too_large);
}

TEST(bps_test, a_patch_cut_anywhere_is_refused) {
    const Bytes source = testing::make_original(2000, 3);
    const Bytes target = testing::make_modified(source, 3, 500);
    const Bytes patch = create_bps(source, target);
    for (std::size_t size = 0; size < patch.size(); ++size) {
        const Bytes cut(patch.begin(), patch.begin() + static_cast<std::ptrdiff_t>(size));
        auto result = apply_bps(source, cut, ApplyOptions{true});
        ASSERT_FALSE(result) << size;
        if (size >= 4) {
            EXPECT_LE(result.error().offset, size) << size;
        }
    }
}

}  // namespace
}  // namespace quillmere::patch
