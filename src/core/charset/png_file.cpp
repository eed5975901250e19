#include "core/charset/png_file.hpp"

#include <png.h>

#include <csetjmp>

namespace quillmere {
namespace {

void append_to_vector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flush_nothing(png_structp) {}

// libpng reports failures by longjmp: nothing with a destructor may live in
// this frame between setjmp and the end of the write.
bool write_png(png_structp png, png_infop info, const MonoImage& image, std::vector<std::uint8_t>& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, append_to_vector, flush_nothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 1,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The image keeps black as a set bit; in the file a set bit is white.
    png_set_invert_mono(png);
    for (int y = 0; y < image.height(); ++y) png_write_row(png, const_cast<png_bytep>(image.row(y)));
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

Expected<std::vector<std::uint8_t>, SheetFailure> png_bytes(const MonoImage& image) {
    const SheetFailure too_large{SheetFault::too_large, 0};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return unexpected(too_large);
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> out;
    const bool written = info && write_png(png, info, image, out);
    png_destroy_write_struct(&png, &info);
    if (!written) return unexpected(too_large);
    return out;
}

}  // namespace quillmere
