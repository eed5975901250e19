// The PNG writer of the Windows build (zlib alone), read by libpng: every
// pixel as written, for sheets of every width modulo 8.
#include <gtest/gtest.h>
#include <png.h>

#include "core/charset/png_file.hpp"
#include "png_reader.hpp"

namespace quillmere {
namespace {

TEST(png_zlib_test, libpng_reads_every_pixel_as_written) {
    for (int width : {1, 7, 8, 9, 16, 33, 250}) {
        SCOPED_TRACE(width);
        const int height = 13;
        MonoImage image(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((x * 7 + y * 3) % 5 < 2) image.set_black(x, y);
        auto file = png_bytes(image);
        ASSERT_TRUE(file.has_value());

        png_image read{};
        read.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&read, file->data(), file->size()));
        read.format = PNG_FORMAT_GRAY;
        std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(read));
        ASSERT_TRUE(png_image_finish_read(&read, nullptr, pixels.data(), 0, nullptr));
        ASSERT_EQ(static_cast<int>(read.width), width);
        ASSERT_EQ(static_cast<int>(read.height), height);
        const auto ours = testing::read_png(*file);
        ASSERT_TRUE(ours.has_value());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t expected = image.black(x, y) ? 0 : 255;
                ASSERT_EQ(pixels[static_cast<std::size_t>(y * width + x)], expected) << x << "," << y;
                ASSERT_EQ(ours->at(x, y), expected);
            }
    }
}

}  // namespace
}  // namespace quillmere
