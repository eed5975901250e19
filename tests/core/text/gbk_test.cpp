#include "core/text/gbk.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere::text {
namespace {

using testing::Bytes;
using testing::bytes_of;

struct RoundTrip {
    const char* bytes;
    std::u16string text;
};

TEST(gbk_test, follows_windows_table_both_ways) {
    const RoundTrip cases[] = {
        {"\x80", u"\u20AC"},               // euro sign
        {"\xA3\xBA", u"\uFF1A"},           // full-width colon of the jump marker
        {"\xA1\xA1", u"\u3000"},           // ideographic space
        {"\xAA\xA1", u"\uE000"},           // first user-defined code -> private use
        {"\xFE\xFE", u"\uE4C5"},           // last user-defined code
        {"\xBF\xAA\xCD\xB7", u"开头"},
        {"\xBD\xE1\xCA\xF8\xB7\xFB", u"结束符"},
        {"AB,{}=\r\n", u"AB,{}=\r\n"},
    };
    for (const auto& c : cases) {
        Bytes bytes = bytes_of(c.bytes);
        Decoded decoded = decode_gbk(bytes);
        EXPECT_EQ(decoded.text, c.text) << c.bytes;
        EXPECT_EQ(decoded.bad_sequences, 0u);
        auto encoded = encode_gbk(c.text);
        ASSERT_TRUE(encoded.has_value());
        EXPECT_EQ(*encoded, bytes);
    }
}

TEST(gbk_test, undecodable_bytes_become_replacement_characters_and_are_counted) {
    // 7F is no trail byte (and stays itself); a lead byte at the very end has none.
    Decoded decoded = decode_gbk(bytes_of("A\x81\x7F" "B\x81"));
    EXPECT_EQ(decoded.text, u"A\uFFFD\x7F" u"B\uFFFD");
    EXPECT_EQ(decoded.bad_sequences, 2u);
}

TEST(gbk_test, single_ff_is_windows_private_use_not_an_error) {
    Decoded decoded = decode_gbk(bytes_of("\xFF"));
    EXPECT_EQ(decoded.text, u"\uF8F5");
    EXPECT_EQ(decoded.bad_sequences, 0u);
}

TEST(gbk_test, decoding_nul_bytes_keeps_them) {
    Bytes bytes{0x41, 0x00, 0x42};
    EXPECT_EQ(decode_gbk(bytes).text, std::u16string(u"A\0B", 3));
}

TEST(gbk_test, unencodable_character_is_reported_with_its_place) {
    auto encoded = encode_gbk(u"AB\u00C0C");  // À has no code page 936 code
    ASSERT_FALSE(encoded.has_value());
    EXPECT_EQ(encoded.error(), (EncodeFailure{2, U'\u00C0'}));

    auto emoji = encode_gbk(u"x\U0001F600");
    ASSERT_FALSE(emoji.has_value());
    EXPECT_EQ(emoji.error(), (EncodeFailure{1, U'\U0001F600'}));

    auto lone_surrogate = encode_gbk(std::u16string(1, char16_t(0xD800)));
    EXPECT_FALSE(lone_surrogate.has_value());
}

TEST(gbk_test, utf8_holds_every_character_but_a_lone_surrogate) {
    const std::u16string text = u"A啊À한😀";
    auto encoded = encode(text, Encoding::utf8);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(std::string(encoded->begin(), encoded->end()), "A\xE5\x95\x8A\xC3\x80\xED\x95\x9C\xF0\x9F\x98\x80");
    EXPECT_EQ(decode_utf8(*encoded).text, text);
    auto lone = encode(std::u16string(u"ab") + char16_t(0xDC00), Encoding::utf8);
    ASSERT_FALSE(lone.has_value());
    EXPECT_EQ(lone.error().index, 2u);
}

// Long texts take a faster road; it must give exactly what short texts give.
TEST(gbk_test, long_texts_decode_as_short_ones_do) {
    Bytes every_code;
    for (int byte = 0; byte < 256; ++byte)
        if (byte < 0x81 || byte == 0xFF) every_code.push_back(static_cast<std::uint8_t>(byte));
    for (int first = 0x81; first <= 0xFE; ++first)
        for (int second = 0x40; second <= 0xFE; ++second)
            if (second != 0x7F) every_code.insert(every_code.end(), {std::uint8_t(first), std::uint8_t(second)});
    const Decoded piece = decode_gbk(every_code);  // below the threshold: the converter itself
    Bytes long_text;
    std::u16string expected;
    while (long_text.size() < (3u << 20)) {
        long_text.insert(long_text.end(), every_code.begin(), every_code.end());
        expected += piece.text;
    }
    const Decoded decoded = decode_gbk(long_text);
    EXPECT_EQ(decoded.bad_sequences, piece.bad_sequences * (expected.size() / piece.text.size()));
    EXPECT_TRUE(decoded.text == expected);

    // A bad sequence anywhere leaves the whole text to the converter.
    long_text.push_back(0x81);
    const Decoded with_bad_end = decode_gbk(long_text);
    EXPECT_EQ(with_bad_end.bad_sequences, decoded.bad_sequences + 1);
    EXPECT_EQ(with_bad_end.text.size(), expected.size() + 1);
    EXPECT_EQ(with_bad_end.text.back(), u'\uFFFD');
}

TEST(gbk_test, utf8_round_trip_for_the_terminal) {
    std::u16string text = u"错误：请先选择一个ROM";
    EXPECT_EQ(from_utf8(to_utf8(text)), text);
    EXPECT_EQ(to_utf8(u"提示"), "\xE6\x8F\x90\xE7\xA4\xBA");
}

}  // namespace
}  // namespace quillmere::text
