#include "core/commands/filter_lists.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::read_file;
using testing::TempDir;
using Lines = std::vector<std::u16string>;

TEST(filter_lists_test, ticked_list_passes_through_its_temporary_file) {
    TempDir dir;
    auto got = filter_list_lines({u"00=over\r\n8140=名", true}, dir.path(), kDoubleFilterTempFile);
    ASSERT_TRUE(got.has_value());
    EXPECT_FALSE(got->untick);
    ASSERT_TRUE(got->lines.has_value());
    EXPECT_EQ(*got->lines, (Lines{u"00=over", u"8140=名"}));
    EXPECT_EQ(read_file(dir / "temp2.txt"), testing::bytes_of("00=over\r\n8140=\xC3\xFB\r\n"));
}

TEST(filter_lists_test, empty_list_is_unticked_and_unticked_list_takes_no_part) {
    TempDir dir;
    auto empty = filter_list_lines({u"", true}, dir.path(), kSingleFilterTempFile);
    EXPECT_TRUE(empty->untick);
    EXPECT_FALSE(empty->lines.has_value());
    auto unticked = filter_list_lines({u"00=over", false}, dir.path(), kSingleFilterTempFile);
    EXPECT_FALSE(unticked->untick);
    EXPECT_FALSE(unticked->lines.has_value());
    EXPECT_FALSE(std::filesystem::exists(dir / "temp3.txt"));
}

TEST(filter_lists_test, without_data_directory_the_text_is_split_directly) {
    auto got = filter_list_lines({u"00=over\r\n\r\nF0=turn2", true}, std::nullopt, kSingleFilterTempFile);
    EXPECT_EQ(*got->lines, (Lines{u"00=over", u"", u"F0=turn2"}));
}

TEST(filter_lists_test, without_data_directory_what_the_temporary_file_could_not_hold_fails) {
    struct Case {
        FilterListInput list;
        text::Encoding encoding;
        bool passes;
    };
    const Case cases[] = {
        {{u"00=名", true}, text::Encoding::gbk, true},
        {{u"00=\U0001F600", true}, text::Encoding::gbk, false},
        {{u"00=\U0001F600", true}, text::Encoding::utf8, true},
        {{u"00=\xD800", true}, text::Encoding::utf8, false},
        {{u"00=\uFFFD", true, true}, text::Encoding::utf8, false},
        {{u"00=\uFFFD", false, true}, text::Encoding::gbk, true},  // unticked: takes no part
    };
    for (const Case& c : cases) {
        auto got = filter_list_lines(c.list, std::nullopt, kSingleFilterTempFile, c.encoding);
        EXPECT_EQ(got.has_value(), c.passes) << text::to_utf8(c.list.text);
    }
}

TEST(filter_lists_test, missing_data_directory_fails) {
    TempDir dir;
    auto got = filter_list_lines({u"00=over", true}, dir / "missing", kSingleFilterTempFile);
    EXPECT_FALSE(got.has_value());
    auto unencodable = filter_list_lines({u"00=\U0001F600", true}, dir.path(), kSingleFilterTempFile);
    EXPECT_FALSE(unencodable.has_value());
}

}  // namespace
}  // namespace quillmere
