#pragma once
// A reader of the PNG files the font sheet writes (one bit, greyscale), by
// the format's own rules and zlib alone, so that the sheets of every system
// are read the same way: the signature, each chunk's CRC, the header, the
// image data and each row's filter byte are checked.

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillmere::testing {

struct Grey {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // 0 black, 255 white
    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool blank(int x0, int y0, int w, int h) const {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (at(x, y) != 255) return false;
        return true;
    }
};

inline std::uint32_t big_endian(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// nullopt for anything but a well-formed one-bit greyscale PNG.
inline std::optional<Grey> read_png(std::span<const std::uint8_t> file) {
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) return std::nullopt;
    Grey grey;
    std::vector<std::uint8_t> compressed;
    bool ended = false;
    for (std::size_t at = 8; !ended;) {
        if (file.size() - at < 12) return std::nullopt;
        const std::uint32_t length = big_endian(file, at);
        if (file.size() - at - 12 < length) return std::nullopt;
        const std::string type(file.begin() + static_cast<std::ptrdiff_t>(at + 4), file.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const auto data = file.subspan(at + 8, length);
        const uLong crc = crc32(0L, file.data() + at + 4, 4 + length);
        if (crc != big_endian(file, at + 8 + length)) return std::nullopt;
        if (type == "IHDR") {
            if (length != 13 || data[8] != 1 || data[9] != 0 || data[10] != 0 || data[11] != 0 || data[12] != 0)
                return std::nullopt;
            grey.width = static_cast<int>(big_endian(data, 0));
            grey.height = static_cast<int>(big_endian(data, 4));
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data.begin(), data.end());
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    const std::size_t stride = (static_cast<std::size_t>(grey.width) + 7) / 8;
    std::vector<std::uint8_t> raw((stride + 1) * static_cast<std::size_t>(grey.height));
    uLongf raw_size = static_cast<uLongf>(raw.size());
    if (grey.width <= 0 || uncompress(raw.data(), &raw_size, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK ||
        raw_size != raw.size())
        return std::nullopt;
    grey.pixels.resize(static_cast<std::size_t>(grey.width) * static_cast<std::size_t>(grey.height));
    for (int y = 0; y < grey.height; ++y) {
        const std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * (stride + 1);
        if (row[0] != 0) return std::nullopt;  // the writer uses no filter
        for (int x = 0; x < grey.width; ++x)
            grey.pixels[static_cast<std::size_t>(y * grey.width + x)] = (row[1 + x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
    }
    return grey;
}

}  // namespace quillmere::testing
