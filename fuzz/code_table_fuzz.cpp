#include "core/encoding/code_table.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    auto lines = fuzz::lines_of(fuzz::bytes(data, size));
    auto single = parse_table1(lines);
    auto dbl = parse_table2(lines);
    if (single.has_value() != dbl.has_value()) fuzz::fail("an empty value seen by one loader only");
    if (!single && single.error().code != dbl.error().code) fuzz::fail("different empty-value codes");
    return 0;
}
