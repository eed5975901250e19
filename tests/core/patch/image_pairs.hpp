#pragma once
// Seeded pairs of images for the patch tests: an "original" that looks like
// a ROM with text (phrases that recur, runs of filler), and a "modified"
// made from it the way a translation changes one: text rewritten in place,
// strings moved into free space, pointers rewritten, the image cut or grown.

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace quillmere::patch::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes make_original(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes phrases(1u << 16);
    for (auto& b : phrases) b = static_cast<std::uint8_t>(0x80 + random() % 0x60);
    Bytes image;
    image.reserve(size);
    while (image.size() < size) {
        switch (random() % 4) {
        case 0: image.insert(image.end(), 1 + random() % 40, static_cast<std::uint8_t>(random() % 2 ? 0xFF : 0)); break;
        case 1: image.push_back(static_cast<std::uint8_t>(random())); break;
        default: {
            const std::size_t at = random() % (phrases.size() - 64);
            image.insert(image.end(), phrases.begin() + static_cast<std::ptrdiff_t>(at),
                         phrases.begin() + static_cast<std::ptrdiff_t>(at + 4 + random() % 60));
        }
        }
    }
    image.resize(size);
    return image;
}

// `size_change`: bytes added at the end (> 0) or cut from it (< 0).
inline Bytes make_modified(const Bytes& original, std::uint32_t seed, long size_change) {
    std::mt19937 random(seed * 7919u + 1);
    Bytes image = original;
    if (image.empty()) {
        image.resize(static_cast<std::size_t>(std::max(0L, size_change)));
        for (auto& b : image) b = static_cast<std::uint8_t>(random());
        return image;
    }
    const std::size_t edits = 1 + image.size() / 2048;
    for (std::size_t i = 0; i < edits; ++i) {
        const std::size_t at = random() % image.size();
        const std::size_t length = std::min<std::size_t>(1 + random() % 48, image.size() - at);
        switch (random() % 4) {
        case 0:  // text rewritten in place
            for (std::size_t k = 0; k < length; ++k) image[at + k] = static_cast<std::uint8_t>(0x80 + random() % 0x60);
            break;
        case 1: {  // a string copied from elsewhere in the original
            const std::size_t from = random() % (original.size() - std::min(original.size(), length) + 1);
            std::copy_n(original.begin() + static_cast<std::ptrdiff_t>(from), std::min(length, original.size() - from),
                        image.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        }
        case 2:  // a pointer rewritten
            for (std::size_t k = 0; k < std::min<std::size_t>(length, 3); ++k) image[at + k] ^= static_cast<std::uint8_t>(1 + random() % 255);
            break;
        default:  // filled, as a shorter entry is
            std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(at), length, std::uint8_t{0});
        }
    }
    if (size_change < 0) {
        image.resize(image.size() - std::min(image.size(), static_cast<std::size_t>(-size_change)));
    } else {
        // Grown: some new bytes, then text copied from the image's start.
        for (long k = 0; k < size_change; ++k)
            image.push_back(k % 3 == 0 ? static_cast<std::uint8_t>(random()) : image[static_cast<std::size_t>(k) % image.size()]);
    }
    return image;
}

}  // namespace quillmere::patch::testing
