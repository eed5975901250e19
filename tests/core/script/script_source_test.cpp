#include "core/script/script_source.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::TempDir;

TEST(script_source_test, preview_passes_through_temp_txt) {
    TempDir dir;
    auto script = open_script(true, dir / "other.txt", u"0,2,啊", dir.path());
    ASSERT_TRUE(script.has_value());
    EXPECT_EQ(*script, u"0,2,啊\r\n");
    EXPECT_EQ(testing::read_file(dir / "temp.txt"), testing::gbk_bytes(u"0,2,啊\r\n"));
    EXPECT_EQ(open_script(true, {}, u"0,2,x", std::nullopt).value(), u"0,2,x");
}

TEST(script_source_test, script_file_or_failure) {
    TempDir dir;
    testing::write_gbk(dir / "s.txt", u"0,2,啊\r\n");
    EXPECT_EQ(open_script(false, dir / "s.txt", u"ignored", dir.path()).value(), u"0,2,啊\r\n");
    EXPECT_FALSE(open_script(false, dir / "missing.txt", u"", dir.path()).has_value());
    EXPECT_FALSE(open_script(false, dir.path(), u"", dir.path()).has_value());
    EXPECT_FALSE(open_script(true, {}, u"x", dir / "missing").has_value());
    EXPECT_FALSE(open_script(true, {}, u"\U0001F600", dir.path()).has_value());  // not code page 936
}

}  // namespace
}  // namespace quillmere
