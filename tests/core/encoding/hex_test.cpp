#include "core/encoding/hex.hpp"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(hex_test, hex2num_accepts_digits_only_up_to_7fffffff) {
    struct Case {
        std::u16string text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {u"1a", 26},         {u"1A", 26},          {u"001A", 26},         {u"0", 0},
        {u"1E3", 483},       {u"8000", 32768},     {u"FFFF", 65535},      {u"FFFFFFF", 268435455},
        {u"7FFFFFFF", 2147483647},                 {u"000000007FFFFFFF", 2147483647},
        {u"00000000000", 0}, {u"80000000", std::nullopt},             {u"FFFFFFFF", std::nullopt},
        {u"100000000", std::nullopt},              {u"", std::nullopt},   {u"0x1A", std::nullopt},
        {u"-1", std::nullopt},                     {u"+1", std::nullopt}, {u"1 A", std::nullopt},
        {u" 1A", std::nullopt},                    {u"1A ", std::nullopt}, {u"12G", std::nullopt},
        {u"1Ah", std::nullopt},                    {u"１", std::nullopt},   // full-width digit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex2num(c.text), c.value) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(hex_test, writes_upper_case_digits) {
    std::u16string out;
    append_hex_byte(out, 0x0A);
    append_hex_byte(out, 0xFF);
    EXPECT_EQ(out, u"0AFF");
    EXPECT_EQ(to_hex(0), u"0");
    EXPECT_EQ(to_hex(0x1000), u"1000");
    EXPECT_EQ(to_hex(0x2A0), u"2A0");
    EXPECT_EQ(to_hex(0x7FFFFFFF), u"7FFFFFFF");
}

}  // namespace
}  // namespace quillmere
