#pragma once
// The checksums of a ROM or a patch: CRC32 (as IPS tools, BPS and UPS use
// it), and the MD5 and SHA-1 that translators put in their release notes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillmere::patch {

// CRC-32 (ISO 3309, the one of zip and PNG), continued from `crc`: the CRC of
// a whole is that of its second part continued from that of its first.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

using Md5Digest = std::array<std::uint8_t, 16>;
using Sha1Digest = std::array<std::uint8_t, 20>;

// MD5 (RFC 1321), fed in pieces of any size.
class Md5 {
public:
    Md5();
    void update(std::span<const std::uint8_t> bytes);
    Md5Digest finish();

private:
    void block(const std::uint8_t* bytes);

    std::array<std::uint32_t, 4> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pending_size_ = 0;
    std::uint64_t length_ = 0;
};

// SHA-1 (FIPS 180-4), fed in pieces of any size.
class Sha1 {
public:
    Sha1();
    void update(std::span<const std::uint8_t> bytes);
    Sha1Digest finish();

private:
    void block(const std::uint8_t* bytes);

    std::array<std::uint32_t, 5> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pending_size_ = 0;
    std::uint64_t length_ = 0;
};

struct Digests {
    std::uint32_t crc32 = 0;
    Md5Digest md5{};
    Sha1Digest sha1{};
    friend bool operator==(const Digests&, const Digests&) = default;
};

// All three of one file's bytes.
Digests digests_of(std::span<const std::uint8_t> bytes);

}  // namespace quillmere::patch
