#include "core/files/files.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
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
    return 0;
}
