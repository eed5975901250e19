#include "core/patch/checksums.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace quillmere::patch {
namespace {

constexpr std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::uint32_t load_le(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint32_t load_be(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}

// Feeds whole 64-byte blocks to `block`, keeping a partial one in `pending`.
template <class Block>
void feed(std::span<const std::uint8_t> bytes, std::array<std::uint8_t, 64>& pending, std::size_t& pending_size,
          std::uint64_t& length, Block&& block) {
    length += bytes.size();
    if (pending_size > 0) {
        const std::size_t take = std::min(bytes.size(), pending.size() - pending_size);
        std::memcpy(pending.data() + pending_size, bytes.data(), take);
        pending_size += take;
        bytes = bytes.subspan(take);
        if (pending_size < pending.size()) return;
        block(pending.data());
        pending_size = 0;
    }
    while (bytes.size() >= 64) {
        block(bytes.data());
        bytes = bytes.subspan(64);
    }
    std::memcpy(pending.data(), bytes.data(), bytes.size());
    pending_size = bytes.size();
}

// The closing padding: 80, zeros, the length in bits in the last 8 bytes.
template <class Block>
void pad(std::array<std::uint8_t, 64>& pending, std::size_t pending_size, std::uint64_t length, bool big_endian,
         Block&& block) {
    pending[pending_size++] = 0x80;
    if (pending_size > 56) {
        std::fill(pending.begin() + static_cast<std::ptrdiff_t>(pending_size), pending.end(), 0);
        block(pending.data());
        pending_size = 0;
    }
    std::fill(pending.begin() + static_cast<std::ptrdiff_t>(pending_size), pending.begin() + 56, 0);
    const std::uint64_t bits = length * 8;
    for (int i = 0; i < 8; ++i)
        pending[static_cast<std::size_t>(big_endian ? 63 - i : 56 + i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    block(pending.data());
}

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
    // zlib takes at most a uInt at a time.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    uLong value = crc;
    while (!bytes.empty()) {
        const std::size_t take = std::min(bytes.size(), kPiece);
        value = ::crc32(value, bytes.data(), static_cast<uInt>(take));
        bytes = bytes.subspan(take);
    }
    return static_cast<std::uint32_t>(value);
}

// ---- MD5

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::block(const std::uint8_t* bytes) {
    static constexpr std::uint32_t kSine[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
        0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
        0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
        0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
        0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
        0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
    static constexpr int kShift[16] = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i) m[i] = load_le(bytes + 4 * i);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
#pragma GCC unroll 64
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const std::uint32_t rotated = rotl(a + f + kSine[i] + m[g], kShift[(i / 16) * 4 + i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void Md5::update(std::span<const std::uint8_t> bytes) {
    feed(bytes, pending_, pending_size_, length_, [this](const std::uint8_t* b) { block(b); });
}

Md5Digest Md5::finish() {
    pad(pending_, pending_size_, length_, false, [this](const std::uint8_t* b) { block(b); });
    Md5Digest digest;
    for (std::size_t i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (8 * (i % 4)));
    *this = Md5();
    return digest;
}

// ---- SHA-1

Sha1::Sha1() : state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0} {}

void Sha1::block(const std::uint8_t* bytes) {
    // The schedule kept as 16 words in a ring; the five words in locals,
    // so that they live in registers.
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = load_be(bytes + 4 * i);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
    // Unrolled, the round's function and the schedule's indices are constants.
#pragma GCC unroll 80
    for (int i = 0; i < 80; ++i) {
        if (i >= 16) w[i & 15] = rotl(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
        std::uint32_t f, k;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        const std::uint32_t t = rotl(a, 5) + f + e + k + w[i & 15];
        e = d;
        d = c;
        c = rotl(b, 30);
        b = a;
        a = t;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
}

void Sha1::update(std::span<const std::uint8_t> bytes) {
    feed(bytes, pending_, pending_size_, length_, [this](const std::uint8_t* b) { block(b); });
}

Sha1Digest Sha1::finish() {
    pad(pending_, pending_size_, length_, true, [this](const std::uint8_t* b) { block(b); });
    Sha1Digest digest;
    for (std::size_t i = 0; i < 20; ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
    *this = Sha1();
    return digest;
}

Digests digests_of(std::span<const std::uint8_t> bytes) {
    Digests digests;
    Md5 md5;
    Sha1 sha1;
    // One pass in pieces that stay in the cache for all three.
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    std::uint32_t crc = 0;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        const auto piece = bytes.subspan(at, std::min(kPiece, bytes.size() - at));
        crc = crc32(piece, crc);
        md5.update(piece);
        sha1.update(piece);
    }
    digests.crc32 = crc;
    digests.md5 = md5.finish();
    digests.sha1 = sha1.finish();
    return digests;
}

}  // namespace quillmere::patch
