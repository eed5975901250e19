#include "core/text/gbk.hpp"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>
#include <optional>

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

// Long texts must give exactly what short texts give.
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

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

// The converter the tables were made from, stopping at anything it cannot convert.
std::unique_ptr<UConverter, ConverterCloser> stopping_converter() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open("windows-936-2000", &status));
    EXPECT_TRUE(U_SUCCESS(status));
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return converter;
}

std::optional<char16_t> converter_decodes(UConverter* converter, const char* code, int size) {
    ucnv_resetToUnicode(converter);
    UChar units[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter, units, 4, code, size, &status);
    if (U_FAILURE(status) || length != 1) return std::nullopt;
    return static_cast<char16_t>(units[0]);
}

std::optional<std::uint16_t> converter_encodes(UConverter* converter, char16_t character) {
    ucnv_resetFromUnicode(converter);
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    const UChar unit = character;
    const int32_t length = ucnv_fromUChars(converter, bytes, sizeof bytes, &unit, 1, &status);
    if (U_FAILURE(status) || length < 1 || length > 2) return std::nullopt;
    if (length == 1) return static_cast<std::uint8_t>(bytes[0]);
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[0]) << 8 | static_cast<std::uint8_t>(bytes[1]));
}

// The tables the build made, asked against the converter for every byte,
// every pair (trail bytes outside the code page's range included) and
// every BMP character; then whole texts of all of them, both ways.
TEST(gbk_test, tables_give_what_the_converter_gives_for_every_code_and_character) {
    auto converter = stopping_converter();
    ASSERT_TRUE(converter);
    Bytes every_code;
    std::u16string every_character;
    std::size_t defined_pairs = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char code = static_cast<char>(byte);
        const auto expected = converter_decodes(converter.get(), &code, 1);
        ASSERT_EQ(decode_gbk_code(static_cast<std::uint16_t>(byte)), expected) << byte;
        if (expected) {
            every_code.push_back(static_cast<std::uint8_t>(byte));
            every_character += *expected;
        }
    }
    for (int first = 0x01; first <= 0xFF; ++first)
        for (int second = 0x00; second <= 0xFF; ++second) {
            const char code[2] = {static_cast<char>(first), static_cast<char>(second)};
            const auto pair = static_cast<std::uint16_t>(first << 8 | second);
            // Two bytes that are not one code decode to no single character.
            const auto expected = converter_decodes(converter.get(), code, 2);
            ASSERT_EQ(decode_gbk_code(pair), expected) << std::hex << pair;
            if (expected) {
                ++defined_pairs;
                every_code.insert(every_code.end(), {std::uint8_t(first), std::uint8_t(second)});
                every_character += *expected;
            }
        }
    EXPECT_GT(defined_pairs, 23000u);  // the converter really was asked
    std::size_t encodable = 0;
    for (int c = 0; c < 0x10000; ++c) {
        const auto character = static_cast<char16_t>(c);
        ASSERT_EQ(encode_gbk_char(character), converter_encodes(converter.get(), character)) << std::hex << c;
        encodable += encode_gbk_char(character).has_value();
    }
    EXPECT_GT(encodable, 23000u);

    const Decoded decoded = decode_gbk(every_code);
    EXPECT_EQ(decoded.bad_sequences, 0u);
    EXPECT_TRUE(decoded.text == every_character);
    std::u16string encodable_text;
    Bytes expected_bytes;
    for (int c = 0; c < 0x10000; ++c)
        if (const auto code = encode_gbk_char(static_cast<char16_t>(c))) {
            encodable_text += static_cast<char16_t>(c);
            if (*code > 0xFF) expected_bytes.push_back(static_cast<std::uint8_t>(*code >> 8));
            expected_bytes.push_back(static_cast<std::uint8_t>(*code));
        }
    auto encoded = encode_gbk(encodable_text);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_TRUE(*encoded == expected_bytes);
    std::string icu_bytes(encodable_text.size() * 2 + 8, '\0');
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter.get());
    const int32_t length = ucnv_fromUChars(converter.get(), icu_bytes.data(), static_cast<int32_t>(icu_bytes.size()),
                                           reinterpret_cast<const UChar*>(encodable_text.data()),
                                           static_cast<int32_t>(encodable_text.size()), &status);
    ASSERT_TRUE(U_SUCCESS(status));
    icu_bytes.resize(static_cast<std::size_t>(length));
    EXPECT_TRUE(icu_bytes == std::string(expected_bytes.begin(), expected_bytes.end()));
}

// Short texts that the tables cannot take whole still give the converter's
// answer: its substitutes and counts, its failure and where it lies.
TEST(gbk_test, irregular_short_texts_keep_the_converters_answer) {
    Decoded bad_trail = decode_gbk(bytes_of("\xA1\x30" "A"));
    EXPECT_EQ(bad_trail.bad_sequences, 1u);
    EXPECT_EQ(bad_trail.text.find(u'\uFFFD'), 0u);
    EXPECT_EQ(bad_trail.text.back(), u'A');

    auto late = encode_gbk(u"开头\u00C0\u00C0x");
    ASSERT_FALSE(late.has_value());
    EXPECT_EQ(late.error(), (EncodeFailure{2, U'\u00C0'}));
    auto pair = encode_gbk(u"ab\U0001F600\u00C0");
    ASSERT_FALSE(pair.has_value());
    EXPECT_EQ(pair.error(), (EncodeFailure{2, U'\U0001F600'}));
}

// UTF-8 is written without the converter; it must write what the converter writes.
TEST(gbk_test, utf8_of_every_character_is_the_converters) {
    std::u16string every;
    for (int c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) every += static_cast<char16_t>(c);
    every += u"\U00010000\U0001F600\U0010FFFF";
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open("UTF-8", &status));
    ASSERT_TRUE(U_SUCCESS(status));
    std::string expected(every.size() * 3, '\0');
    const int32_t length = ucnv_fromUChars(converter.get(), expected.data(), static_cast<int32_t>(expected.size()),
                                           reinterpret_cast<const UChar*>(every.data()),
                                           static_cast<int32_t>(every.size()), &status);
    ASSERT_TRUE(U_SUCCESS(status));
    expected.resize(static_cast<std::size_t>(length));
    auto encoded = encode_utf8(every);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_TRUE(std::string(encoded->begin(), encoded->end()) == expected);

    auto lone_high = encode_utf8(u"ab" + std::u16string(1, char16_t(0xD800)) + u"c");
    ASSERT_FALSE(lone_high.has_value());
    EXPECT_EQ(lone_high.error().index, 2u);
}

TEST(gbk_test, utf8_round_trip_for_the_terminal) {
    std::u16string text = u"错误：请先选择一个ROM";
    EXPECT_EQ(from_utf8(to_utf8(text)), text);
    EXPECT_EQ(to_utf8(u"提示"), "\xE6\x8F\x90\xE7\xA4\xBA");
}

}  // namespace
}  // namespace quillmere::text
