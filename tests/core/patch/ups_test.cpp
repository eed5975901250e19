// UPS, read only: patches made here the way the format lays them out, the
// target longer and shorter than the source, and each refusal.
#include "core/patch/ups.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include "core/patch/patch_file.hpp"
#include "image_pairs.hpp"

namespace quillmere::patch {
namespace {

std::uint32_t zlib_crc(const Bytes& bytes) {
    return static_cast<std::uint32_t>(::crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// A UPS patch as its writers make it: hunks of XOR bytes over the longer of
// the two, each run ended by a 00 that stands for an unchanged byte.
Bytes make_ups(const Bytes& source, const Bytes& target) {
    Bytes patch = {'U', 'P', 'S', '1'};
    put_number(patch, source.size());
    put_number(patch, target.size());
    const std::size_t size = std::max(source.size(), target.size());
    auto at = [](const Bytes& b, std::size_t i) -> std::uint8_t { return i < b.size() ? b[i] : 0; };
    std::size_t next = 0;
    for (std::size_t i = 0; i < size;) {
        if (at(source, i) == at(target, i)) {
            ++i;
            continue;
        }
        put_number(patch, i - next);
        while (i < size && at(source, i) != at(target, i)) {
            patch.push_back(at(source, i) ^ at(target, i));
            ++i;
        }
        patch.push_back(0);
        next = ++i;
    }
    put_le32(patch, zlib_crc(source));
    put_le32(patch, zlib_crc(target));
    put_le32(patch, zlib_crc(patch));
    return patch;
}

Bytes as_bytes(const memory::ByteBuffer& buffer) { return Bytes(buffer.begin(), buffer.end()); }

TEST(ups_test, patches_rebuild_targets_longer_and_shorter) {
    for (long change : {0L, 700L, -700L}) {
        const Bytes source = testing::make_original(20000, 4);
        const Bytes target = testing::make_modified(source, 4, change);
        auto applied = apply_patch(source, make_ups(source, target));
        ASSERT_TRUE(applied) << change;
        EXPECT_EQ(as_bytes(applied->bytes), target) << change;
    }
}

TEST(ups_test, refusals) {
    const Bytes source = testing::make_original(3000, 5);
    const Bytes target = testing::make_modified(source, 5, 0);
    const Bytes patch = make_ups(source, target);

    Bytes other = source;
    other[0] ^= 1;
    EXPECT_EQ(apply_ups(other, patch).error(),
              (PatchFailure{PatchFault::source_checksum, 0, zlib_crc(source), zlib_crc(other)}));
    EXPECT_TRUE(apply_ups(other, patch, ApplyOptions{true}));

    Bytes tampered = patch;
    tampered[tampered.size() - 20] ^= 0x01;  // a byte of the last hunk
    EXPECT_EQ(apply_ups(source, tampered).error().fault, PatchFault::patch_checksum);

    // A run that never ends, and a skip past the end of both images.
    Bytes endless = {'U', 'P', 'S', '1', 0x84, 0x84, 0x80, 0x01, 0x02};
    put_le32(endless, 0);
    put_le32(endless, 0);
    put_le32(endless, 0);
    EXPECT_EQ(apply_ups(source, endless).error(), damaged_at(9));
    Bytes far = {'U', 'P', 'S', '1', 0x84, 0x84, 0x8A, 0x01, 0x00};
    put_le32(far, 0);
    put_le32(far, 0);
    put_le32(far, 0);
    EXPECT_EQ(apply_ups(source, far).error(), damaged_at(6));
}

}  // namespace
}  // namespace quillmere::patch
