// CRC32, MD5 and SHA-1 against the published test vectors, and fed in
// pieces against fed whole.
#include "core/patch/checksums.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace quillmere::patch {
namespace {

std::span<const std::uint8_t> bytes_of(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

template <std::size_t N>
std::string hex(const std::array<std::uint8_t, N>& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::string md5_of(std::string_view text) {
    Md5 md5;
    md5.update(bytes_of(text));
    return hex(md5.finish());
}

std::string sha1_of(std::string_view text) {
    Sha1 sha1;
    sha1.update(bytes_of(text));
    return hex(sha1.finish());
}

TEST(checksums_test, md5_gives_the_digests_of_rfc_1321) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : vectors) EXPECT_EQ(md5_of(text), digest) << text;
}

TEST(checksums_test, sha1_gives_the_digests_of_fips_180) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        // 56 bytes: the length no longer fits the block, padding takes a second one.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    for (const auto& [text, digest] : vectors) EXPECT_EQ(sha1_of(text), digest) << text.substr(0, 60);
}

TEST(checksums_test, crc32_is_the_one_of_zip) {
    EXPECT_EQ(crc32(bytes_of("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32(bytes_of("")), 0u);
    // Continued from the CRC of a first part.
    EXPECT_EQ(crc32(bytes_of("56789"), crc32(bytes_of("1234"))), 0xCBF43926u);
}

TEST(checksums_test, pieces_of_any_size_give_the_digest_of_the_whole) {
    std::mt19937 random(5);
    for (std::size_t size : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u, 70000u, 200001u}) {
        std::string text(size, '\0');
        for (char& c : text) c = static_cast<char>(random());
        Md5 md5;
        Sha1 sha1;
        std::size_t at = 0;
        while (at < size) {
            const std::size_t piece = std::min<std::size_t>(size - at, random() % 130);
            md5.update(bytes_of(std::string_view(text).substr(at, piece)));
            sha1.update(bytes_of(std::string_view(text).substr(at, piece)));
            at += piece;
        }
        const Digests whole = digests_of(bytes_of(text));
        EXPECT_EQ(hex(md5.finish()), hex(whole.md5)) << size;
        EXPECT_EQ(hex(sha1.finish()), hex(whole.sha1)) << size;
        EXPECT_EQ(md5_of(text), hex(whole.md5)) << size;
        EXPECT_EQ(whole.crc32, crc32(bytes_of(text))) << size;
    }
}

}  // namespace
}  // namespace quillmere::patch
