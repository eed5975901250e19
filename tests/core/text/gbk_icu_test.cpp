// The codecs against ICU's converters, which the tool asked at run time
// before it had codecs of its own: every code, every character, every short
// input and every kind of ill-formed input must come out exactly as ICU
// gives it. Linux only, where ICU is at hand.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "core/support/icu_codec.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"
#include "core/text/malformed_cases.hpp"

namespace quillmere::text {
namespace {

using testing::Bytes;
using icu_codec::ConverterCloser;

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
TEST(gbk_icu_test, tables_give_what_the_converter_gives_for_every_code_and_character) {
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

Decoded decode(Encoding encoding, std::span<const std::uint8_t> bytes) {
    return encoding == Encoding::gbk ? decode_gbk(bytes) : decode_utf8(bytes);
}

// Reads `bytes` with both and says where they differ.
::testing::AssertionResult reads_as_icu(UConverter* converter, Encoding encoding, std::span<const std::uint8_t> bytes) {
    const Decoded ours = decode(encoding, bytes);
    const Decoded theirs = icu_codec::decode(converter, bytes);
    if (ours.text == theirs.text && ours.bad_sequences == theirs.bad_sequences) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << (encoding == Encoding::gbk ? "GBK" : "UTF-8") << " bytes";
    for (const std::uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", byte);
        failure << hex;
    }
    return failure << ": " << ours.text.size() << " units, " << ours.bad_sequences << " bad; ICU "
                   << theirs.text.size() << " units, " << theirs.bad_sequences << " bad";
}

// The table of ill-formed inputs is ICU's answer too.
TEST(gbk_icu_test, the_table_of_ill_formed_input_is_icus) {
    auto gbk = icu_codec::open(icu_codec::kCodePage936), utf8 = icu_codec::open(icu_codec::kUtf8);
    ASSERT_TRUE(gbk && utf8);
    for (const auto& c : testing::malformed_cases()) {
        SCOPED_TRACE(c.what);
        const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size());
        const Decoded theirs = icu_codec::decode(c.encoding == Encoding::gbk ? gbk.get() : utf8.get(), bytes);
        EXPECT_TRUE(theirs.text == c.text);
        EXPECT_EQ(theirs.bad_sequences, c.bad_sequences);
    }
}

// Every input of one and two bytes, every input of three bytes whose bytes
// come from the edges of every range the two encodings have, and (for
// UTF-8) every such input of four bytes, read as ICU reads it.
TEST(gbk_icu_test, every_short_input_reads_as_icu_reads_it) {
    const std::vector<std::uint8_t> gbk_edges{0x00, 0x0A, 0x30, 0x3F, 0x40, 0x41, 0x7E, 0x7F, 0x80, 0x81,
                                              0x82, 0xA0, 0xA1, 0xA2, 0xAA, 0xB0, 0xD7, 0xF7, 0xFE, 0xFF};
    const std::vector<std::uint8_t> utf8_edges{0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                               0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0,
                                               0xF1, 0xF3, 0xF4, 0xF5, 0xF7, 0xF8, 0xFB, 0xFC, 0xFE, 0xFF};
    for (const Encoding encoding : {Encoding::gbk, Encoding::utf8}) {
        auto converter = icu_codec::open(encoding == Encoding::gbk ? icu_codec::kCodePage936 : icu_codec::kUtf8);
        ASSERT_TRUE(converter);
        std::uint8_t bytes[4];
        for (int first = 0; first < 256; ++first) {
            bytes[0] = static_cast<std::uint8_t>(first);
            ASSERT_TRUE(reads_as_icu(converter.get(), encoding, std::span(bytes, 1)));
            for (int second = 0; second < 256; ++second) {
                bytes[1] = static_cast<std::uint8_t>(second);
                ASSERT_TRUE(reads_as_icu(converter.get(), encoding, std::span(bytes, 2)));
            }
        }
        const auto& edges = encoding == Encoding::gbk ? gbk_edges : utf8_edges;
        for (const std::uint8_t a : edges)
            for (const std::uint8_t b : edges)
                for (const std::uint8_t c : edges) {
                    bytes[0] = a, bytes[1] = b, bytes[2] = c;
                    ASSERT_TRUE(reads_as_icu(converter.get(), encoding, std::span(bytes, 3)));
                    if (encoding == Encoding::gbk) continue;
                    for (const std::uint8_t d : edges) {
                        bytes[3] = d;
                        ASSERT_TRUE(reads_as_icu(converter.get(), encoding, std::span(bytes, 4)));
                    }
                }
    }
}

// Long inputs of random bytes and random characters' bytes, bad sequences
// among them, read as ICU reads them.
TEST(gbk_icu_test, random_texts_read_as_icu_reads_them) {
    std::mt19937 random(936);
    for (const Encoding encoding : {Encoding::gbk, Encoding::utf8}) {
        auto converter = icu_codec::open(encoding == Encoding::gbk ? icu_codec::kCodePage936 : icu_codec::kUtf8);
        ASSERT_TRUE(converter);
        for (int round = 0; round < 2000; ++round) {
            Bytes bytes;
            const std::size_t length = random() % 64;
            while (bytes.size() < length) {
                if (random() % 8 == 0) {
                    bytes.push_back(static_cast<std::uint8_t>(random()));
                    continue;
                }
                // A character the encoding has, so that bad sequences stand among good ones.
                const std::u16string one(1, static_cast<char16_t>(0x20 + random() % 0xD000));
                const auto encoded = icu_codec::encode(converter.get(), one);
                if (encoded) bytes.insert(bytes.end(), encoded->begin(), encoded->end());
            }
            ASSERT_TRUE(reads_as_icu(converter.get(), encoding, bytes));
        }
    }
}

std::u16string units_of(char32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

::testing::AssertionResult writes_as_icu(UConverter* converter, Encoding encoding, std::u16string_view text) {
    const auto ours = encode(text, encoding);
    const auto theirs = icu_codec::encode(converter, text);
    if (ours.has_value() != theirs.has_value())
        return ::testing::AssertionFailure() << "one fails, the other not, at " << text.size() << " units";
    if (ours && *ours != *theirs) return ::testing::AssertionFailure() << "different bytes";
    if (!ours && !(ours.error() == theirs.error()))
        return ::testing::AssertionFailure() << "failure at " << ours.error().index << " U+" << std::hex
                                             << std::uint32_t{ours.error().character} << "; ICU at " << std::dec
                                             << theirs.error().index << " U+" << std::hex << std::uint32_t{theirs.error().character};
    return ::testing::AssertionSuccess();
}

// Every code point (surrogates alone included) between two characters, and
// random texts holding characters without a code, lone surrogates and
// pairs: the same bytes as ICU, or the same first failure at the same place.
TEST(gbk_icu_test, every_character_writes_as_icu_writes_it) {
    for (const Encoding encoding : {Encoding::gbk, Encoding::utf8}) {
        auto converter = icu_codec::open(encoding == Encoding::gbk ? icu_codec::kCodePage936 : icu_codec::kUtf8);
        ASSERT_TRUE(converter);
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            const std::u16string text = u"a" + units_of(c) + u"\u554A";
            ASSERT_TRUE(writes_as_icu(converter.get(), encoding, text)) << std::hex << std::uint32_t{c};
        }
        const char32_t pool[] = {U'A', U'\u554A', U'\u00C0', char32_t{0xD800}, char32_t{0xDBFF}, char32_t{0xDC00}, char32_t{0xDFFF},
                                 U'\U0001F600', U'\uE000', U'\u20AC', U'\r', U'\uFFFF'};
        std::mt19937 random(65001);
        for (int round = 0; round < 20000; ++round) {
            std::u16string text;
            const std::size_t length = random() % 12;
            while (text.size() < length) text += units_of(pool[random() % std::size(pool)]);
            ASSERT_TRUE(writes_as_icu(converter.get(), encoding, text));
        }
    }
}

// UTF-8 is written without the converter; it must write what the converter writes.
TEST(gbk_icu_test, utf8_of_every_character_is_the_converters) {
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

}  // namespace
}  // namespace quillmere::text
