#include "core/text/gbk.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "core/support/temp_dir.hpp"
#include "core/text/malformed_cases.hpp"

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

// Long texts must give exactly what short texts give.
TEST(gbk_test, long_texts_decode_as_short_ones_do) {
    Bytes every_code;
    for (int byte = 0; byte < 256; ++byte)
        if (byte < 0x81 || byte == 0xFF) every_code.push_back(static_cast<std::uint8_t>(byte));
    for (int first = 0x81; first <= 0xFE; ++first)
        for (int second = 0x40; second <= 0xFE; ++second)
            if (second != 0x7F) every_code.insert(every_code.end(), {std::uint8_t(first), std::uint8_t(second)});
    const Decoded piece = decode_gbk(every_code);  // below the size at which buffers are advised
    Bytes long_text;
    std::u16string expected;
    while (long_text.size() < (3u << 20)) {
        long_text.insert(long_text.end(), every_code.begin(), every_code.end());
        expected += piece.text;
    }
    const Decoded decoded = decode_gbk(long_text);
    EXPECT_EQ(decoded.bad_sequences, piece.bad_sequences * (expected.size() / piece.text.size()));
    EXPECT_TRUE(decoded.text == expected);

    // A bad sequence at the end of a long text is read as in a short one.
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
    // A lone surrogate has no UTF-8: the terminal is shown U+FFFD instead.
    EXPECT_EQ(to_utf8(u"a" + std::u16string(1, char16_t(0xDC00)) + u"b"), "a\xEF\xBF\xBD" "b");
}

// Every kind of ill-formed input, alone, between characters and in a text
// large enough to be read into an advised buffer.
TEST(gbk_test, ill_formed_input_gives_one_replacement_per_bad_sequence) {
    for (const auto& c : testing::malformed_cases()) {
        SCOPED_TRACE(c.what);
        const auto read = [&](std::string_view bytes) {
            const auto span = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            return c.encoding == Encoding::gbk ? decode_gbk(span) : decode_utf8(span);
        };
        const Decoded alone = read(c.bytes);
        EXPECT_TRUE(alone.text == c.text);
        EXPECT_EQ(alone.bad_sequences, c.bad_sequences);

        const Decoded between = read("\r\n" + c.bytes + "\r\nZ");
        EXPECT_TRUE(between.text == u"\r\n" + c.text + u"\r\nZ");
        EXPECT_EQ(between.bad_sequences, c.bad_sequences);

        std::string large;
        while (large.size() <= (1u << 20)) large += c.bytes + "\r\n";
        const std::size_t copies = large.size() / (c.bytes.size() + 2);
        const Decoded many = read(large);
        EXPECT_EQ(many.bad_sequences, c.bad_sequences * copies);
        EXPECT_EQ(many.text.size(), (c.text.size() + 2) * copies);
    }
}

// Every code point UTF-8 can hold, written and read back, one at a time and
// all in one text; the byte counts are the standard's.
TEST(gbk_test, utf8_carries_every_code_point) {
    std::u16string all;
    std::size_t expected_bytes = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::u16string one;
        if (c < 0x10000) {
            one += static_cast<char16_t>(c);
        } else {
            one += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            one += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        const std::size_t width = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        const auto bytes = encode_utf8(one);
        ASSERT_TRUE(bytes.has_value());
        ASSERT_EQ(bytes->size(), width) << std::hex << std::uint32_t{c};
        const Decoded back = decode_utf8(*bytes);
        ASSERT_TRUE(back.text == one) << std::hex << std::uint32_t{c};
        ASSERT_EQ(back.bad_sequences, 0u);
        all += one;
        expected_bytes += width;
    }
    const auto bytes = encode_utf8(all);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), expected_bytes);
    EXPECT_TRUE(decode_utf8(*bytes).text == all);
    EXPECT_EQ(to_utf8(all).size(), expected_bytes);
}

}  // namespace
}  // namespace quillmere::text
