#include "core/encoding/filter.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    auto lines = fuzz::lines_of(fuzz::bytes(data, size));
    auto check = [](const auto& filter) {
        for (const FilterEntry& entry : filter.entries()) {
            if (entry.kind == ControlKind::jump && entry.jump_count < kJumpCountNotANumber)
                fuzz::fail("negative jump count stored");
            if (entry.kind == ControlKind::tag && (entry.text.size() < 3 || entry.text.front() != u'{'))
                fuzz::fail("tag without its braces");
        }
    };
    if (auto single = readfilter1(lines)) check(*single);
    if (auto dbl = readfilter2(lines)) check(*dbl);
    return 0;
}
