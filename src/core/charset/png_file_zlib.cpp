// The PNG writer where there is no libpng (Windows): the file's few chunks
// written by hand, the image data compressed with zlib.
#include <zlib.h>

#include <span>
#include <limits>
#include <string_view>

#include "core/charset/png_file.hpp"

namespace quillmere {
namespace {

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A chunk: its length, type, data and the CRC of type and data.
void put_chunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
    put_u32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = ::crc32_z(0L, out.data() + start, out.size() - start);
    put_u32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

Expected<std::vector<std::uint8_t>, SheetFailure> png_bytes(const MonoImage& image) {
    const SheetFailure too_large{SheetFault::too_large, 0};
    // Each row: filter type 0 (none), then its bits, where a set bit is
    // white in the file and black in the image.
    const std::size_t row_size = 1 + image.stride();
    const std::size_t raw_size = row_size * static_cast<std::size_t>(image.height());
    if (raw_size > std::numeric_limits<uLong>::max() / 2) return unexpected(too_large);
    std::vector<std::uint8_t> raw(raw_size);
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * row_size;
        const std::uint8_t* bits = image.row(y);
        for (std::size_t i = 0; i < image.stride(); ++i) row[1 + i] = static_cast<std::uint8_t>(~bits[i]);
    }
    uLongf compressed_size = ::compressBound(static_cast<uLong>(raw_size));
    std::vector<std::uint8_t> compressed(compressed_size);
    if (::compress2(compressed.data(), &compressed_size, raw.data(), static_cast<uLong>(raw_size),
                    Z_DEFAULT_COMPRESSION) != Z_OK)
        return unexpected(too_large);
    compressed.resize(compressed_size);

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put_u32(header, static_cast<std::uint32_t>(image.width()));
    put_u32(header, static_cast<std::uint32_t>(image.height()));
    header.insert(header.end(), {1, 0, 0, 0, 0});  // 1 bit, greyscale, deflate, no filter choice, no interlace
    put_chunk(out, "IHDR", header);
    put_chunk(out, "IDAT", compressed);
    put_chunk(out, "IEND", {});
    return out;
}

}  // namespace quillmere
