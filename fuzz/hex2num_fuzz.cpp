#include "core/encoding/hex.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    std::u16string text = fuzz::text_of(fuzz::bytes(data, size));
    auto value = hex2num(text);
    if (value) {
        if (*value < 0) fuzz::fail("hex2num gave a negative value");
        if (text.empty() || !is_all_hex(text)) fuzz::fail("hex2num accepted a non-hex text");
        // The value printed again must read back the same.
        if (hex2num(to_hex(static_cast<std::uint32_t>(*value))) != value) fuzz::fail("hex round trip");
    }
    return 0;
}
