// The table converter: whatever it accepts gives four files that the tool's
// own loaders read without a fault, and every source line is accounted for.

#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/tables/field_table.hpp"
#include "core/text/gbk.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

// The files as the loaders read them back: code page 936, CR LF.
std::vector<std::u16string> read_back(const std::vector<std::u16string>& lines) {
    auto bytes = text::encode_gbk(tables::file_text(lines));
    if (!bytes) fuzz::fail("a converted file holds a character code page 936 cannot hold");
    return text::split_lines(text::decode_gbk(*bytes).text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto input = fuzz::bytes(data, size);
    // A first byte 01 or 02 chooses UTF-8 or code page 936; anything else
    // leaves the choice to the converter.
    tables::SourceEncoding encoding = tables::SourceEncoding::automatic;
    if (!input.empty() && (input[0] == 1 || input[0] == 2)) {
        encoding = input[0] == 1 ? tables::SourceEncoding::utf8 : tables::SourceEncoding::gbk;
        input = input.subspan(1);
    }
    auto source = tables::read_table_source(input, encoding);
    auto converted = tables::convert_table(input, encoding);
    if (!converted) {
        const auto& failure = converted.error();
        if ((failure.line == 0) != (failure.cause == tables::Refusal::no_entries)) fuzz::fail("refusal without its line");
        if (source && failure.line > source->lines.size()) fuzz::fail("refusal names a line past the end");
        if (!source && failure.cause != tables::Refusal::undecodable) fuzz::fail("undecodable source not refused as such");
        return 0;
    }
    if (!source) fuzz::fail("an undecodable source converted");
    const auto& c = *converted;
    if (c.table1.size() + c.table2.size() + c.filter1.size() + c.filter2.size() + c.comments + c.blanks + c.headers !=
        source->lines.size())
        fuzz::fail("a source line neither converted nor dropped");

    auto table1 = parse_table1(read_back(c.table1));
    auto table2 = parse_table2(read_back(c.table2));
    if (!table1 || !table2) fuzz::fail("a converted table has an empty value");
    if ((!c.table1.empty() && table1->read_error) || (!c.table2.empty() && table2->read_error))
        fuzz::fail("a converted table has a line its loader cannot store");
    auto filter1 = readfilter1(read_back(c.filter1));
    auto filter2 = readfilter2(read_back(c.filter2));
    if (!filter1 || !filter2) fuzz::fail("a converted filter list does not parse");
    for (const auto& entry : filter1->entries())
        if (entry.kind == ControlKind::jump && entry.jump_count == kJumpCountNotANumber) fuzz::fail("bad jump count");

    // Converted tables are themselves tables of the convention, and convert
    // to themselves.
    auto again = tables::convert_table(*text::encode_gbk(tables::file_text(c.table1) + tables::file_text(c.table2)),
                                       tables::SourceEncoding::gbk);
    if (!c.table1.empty() || !c.table2.empty()) {
        if (!again || again->table1 != c.table1 || again->table2 != c.table2) fuzz::fail("tables do not convert to themselves");
    }
    return 0;
}
