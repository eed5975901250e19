#include "core/files/files.hpp"
#include "core/support/icu_codec.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

// The tool's codecs against ICU's converters, which it once used at run time.
void compare_with_icu(std::span<const std::uint8_t> input, const text::Decoded& gbk, const text::Decoded& utf8) {
    const auto gbk_converter = icu_codec::open(icu_codec::kCodePage936);
    const auto utf8_converter = icu_codec::open(icu_codec::kUtf8);
    if (!gbk_converter || !utf8_converter) fuzz::fail("ICU has no converter");
    const text::Decoded icu_gbk = icu_codec::decode(gbk_converter.get(), input);
    if (icu_gbk.text != gbk.text || icu_gbk.bad_sequences != gbk.bad_sequences) fuzz::fail("GBK read unlike ICU");
    const text::Decoded icu_utf8 = icu_codec::decode(utf8_converter.get(), input);
    if (icu_utf8.text != utf8.text || icu_utf8.bad_sequences != utf8.bad_sequences) fuzz::fail("UTF-8 read unlike ICU");

    // The input's bytes as UTF-16 units, lone surrogates and all.
    std::u16string units(input.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(input[2 * i] | input[2 * i + 1] << 8);
    for (UConverter* converter : {gbk_converter.get(), utf8_converter.get()}) {
        const auto theirs = icu_codec::encode(converter, units);
        const auto ours = text::encode(units, converter == gbk_converter.get() ? text::Encoding::gbk : text::Encoding::utf8);
        if (ours.has_value() != theirs.has_value()) fuzz::fail("written unlike ICU: one fails");
        if (ours && *ours != *theirs) fuzz::fail("written unlike ICU: other bytes");
        if (!ours && !(ours.error() == theirs.error())) fuzz::fail("written unlike ICU: another failure");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto input = fuzz::bytes(data, size);
    text::Decoded decoded = text::decode_text_file(input);
    if (decoded.text.size() > size + 1) fuzz::fail("decoding produced more characters than bytes");
    auto encoded = text::encode_gbk(decoded.text);
    if (encoded) {
        // What was written reads back as the same characters.
        if (text::decode_gbk(*encoded).text != decoded.text) fuzz::fail("code page 936 round trip");
    } else if (encoded.error().index >= decoded.text.size()) {
        fuzz::fail("unencodable character reported outside the text");
    }
    std::size_t joined = 0;
    text::for_each_line(decoded.text, [&](std::u16string_view line) {
        if (line.find(u'\r') != std::u16string_view::npos) fuzz::fail("a line kept its CR");
        joined += line.size();
    });
    if (joined > decoded.text.size()) fuzz::fail("lines longer than the text");
    compare_with_icu(input, text::decode_gbk(input), text::decode_utf8(input));
    return 0;
}
