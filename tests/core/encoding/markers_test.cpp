#include "core/encoding/markers.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using B = std::vector<std::uint8_t>;

TEST(markers_test, forms_and_their_code_page_936_bytes) {
    EXPECT_EQ(end_marker(B{0x00}), u"{结束符00}");
    EXPECT_EQ(end_marker(B{0x0A, 0x00}), u"{结束符0A00}");
    EXPECT_EQ(jump_marker(B{0xF0}, B{0x01, 0x2C}), u"{跳跃符F0\uFF1A012C}");
    EXPECT_EQ(jump_marker(B{0xF0}, B{}), u"{跳跃符F0：}");
    EXPECT_EQ(jump_marker(B{0x81, 0xab}, B{0xff}), u"{跳跃符81AB：FF}");
    EXPECT_EQ(fill_marker(B{0x81, 0x40}), u"{填充符8140}");
    EXPECT_EQ(tag_text(u"name"), u"{name}");
    EXPECT_EQ(testing::gbk_bytes(jump_marker(B{0xF0}, B{0x01})),
              testing::bytes_of("{\xCC\xF8\xD4\xBE\xB7\xFB" "F0\xA3\xBA" "01}"));
    EXPECT_EQ(testing::gbk_bytes(end_marker(B{0x00})), testing::bytes_of("{\xBD\xE1\xCA\xF8\xB7\xFB" "00}"));
}

}  // namespace
}  // namespace quillmere
