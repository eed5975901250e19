#include "core/charset/font_names.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::Bytes;

void put16(Bytes& out, unsigned value) { out.insert(out.end(), {std::uint8_t(value >> 8), std::uint8_t(value)}); }
void put32(Bytes& out, std::uint32_t value) {
    put16(out, value >> 16);
    put16(out, value & 0xFFFF);
}

struct NameRecord {
    unsigned platform, encoding, language, name;
    std::u16string text;
};

// A font file of one table, 'name', holding the records.
Bytes font_with_names(const std::vector<NameRecord>& records, std::uint32_t version = 0x00010000) {
    Bytes strings;
    Bytes table;
    put16(table, 0);
    put16(table, static_cast<unsigned>(records.size()));
    put16(table, static_cast<unsigned>(6 + 12 * records.size()));
    for (const NameRecord& record : records) {
        put16(table, record.platform);
        put16(table, record.encoding);
        put16(table, record.language);
        put16(table, record.name);
        put16(table, static_cast<unsigned>(record.text.size() * 2));
        put16(table, static_cast<unsigned>(strings.size()));
        for (const char16_t c : record.text) put16(strings, c);
    }
    table.insert(table.end(), strings.begin(), strings.end());
    Bytes file;
    put32(file, version);
    put16(file, 1);
    put16(file, 16);
    put16(file, 0);
    put16(file, 0);
    file.insert(file.end(), {'n', 'a', 'm', 'e'});
    put32(file, 0);
    put32(file, 12 + 16);
    put32(file, static_cast<std::uint32_t>(table.size()));
    file.insert(file.end(), table.begin(), table.end());
    return file;
}

TEST(font_names_test, the_windows_family_name_american_english_first) {
    struct Case {
        const char* what;
        std::vector<NameRecord> records;
        std::optional<std::u16string> family;
    };
    const Case cases[] = {
        {"English among others",
         {{3, 1, 0x0804, 1, u"文泉驿正黑"}, {3, 1, 0x0409, 4, u"Full Name"}, {3, 1, 0x0409, 1, u"Zen Hei"}},
         u"Zen Hei"},
        {"only Chinese", {{3, 1, 0x0804, 1, u"宋体"}, {3, 1, 0x0804, 2, u"常规"}}, u"宋体"},
        {"full Unicode encoding", {{3, 10, 0x0411, 1, u"Font"}}, u"Font"},
        {"Mac names only", {{1, 0, 0, 1, u"Mac"}}, std::nullopt},
        {"no family", {{3, 1, 0x0409, 4, u"Full Name"}}, std::nullopt},
        {"empty family", {{3, 1, 0x0409, 1, u""}}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes font = font_with_names(c.records);
        EXPECT_EQ(font_family_name(font), c.family);
        // Every cut of the file is refused or read, never read past its end.
        for (std::size_t size = 0; size < font.size(); ++size)
            static_cast<void>(font_family_name(std::span(font).first(size)));
    }
    EXPECT_EQ(font_family_name(font_with_names({{3, 1, 0x0409, 1, u"Name"}}, 0x4F54544F)), u"Name");  // 'OTTO'
    EXPECT_EQ(font_family_name(font_with_names({{3, 1, 0x0409, 1, u"Name"}}, 0x12345678)), std::nullopt);
    EXPECT_EQ(font_family_name(testing::bytes_of("not a font at all")), std::nullopt);
}

TEST(font_names_test, the_first_font_of_a_collection) {
    // From fonts-wqy-zenhei, which the build's packages include.
    const auto font = testing::read_file("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc");
    ASSERT_FALSE(font.empty()) << "make deps installs fonts-wqy-zenhei";
    EXPECT_EQ(font_family_name(font), u"WenQuanYi Zen Hei");
}

}  // namespace
}  // namespace quillmere
