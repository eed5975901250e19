// The table converter: whatever it accepts gives four files that the tool's
// own loaders read without a fault, and every source line is accounted for.

#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/table_conversion/field_table.hpp"
#include "core/files/files.hpp"
#include "core/text/gbk.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

// The files as the loaders read them back, in the encoding they are written in.
std::vector<std::u16string> read_back(const std::vector<std::u16string>& lines, text::Encoding output) {
    auto bytes = text::encode(table_conversion::file_text(lines), output);
    if (!bytes) fuzz::fail("a converted file holds a character its encoding cannot hold");
    return text::split_lines(text::decode_text_file(*bytes, output).text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto input = fuzz::bytes(data, size);
    // A first byte 01 or 02 chooses UTF-8 or code page 936 for the source,
    // 03 UTF-8 for the files written; anything else leaves the choice of the
    // source's encoding to the converter and writes code page 936.
    table_conversion::SourceEncoding encoding = table_conversion::SourceEncoding::automatic;
    text::Encoding output = text::Encoding::gbk;
    if (!input.empty() && input[0] >= 1 && input[0] <= 3) {
        if (input[0] == 1) encoding = table_conversion::SourceEncoding::utf8;
        if (input[0] == 2) encoding = table_conversion::SourceEncoding::gbk;
        if (input[0] == 3) output = text::Encoding::utf8;
        input = input.subspan(1);
    }
    auto source = table_conversion::read_table_source(input, encoding);
    auto converted = table_conversion::convert_table(input, encoding, output);
    if (!converted) {
        const auto& failure = converted.error();
        if ((failure.line == 0) != (failure.cause == table_conversion::Refusal::no_entries)) fuzz::fail("refusal without its line");
        if (source && failure.line > source->lines.size()) fuzz::fail("refusal names a line past the end");
        if (!source && failure.cause != table_conversion::Refusal::undecodable) fuzz::fail("undecodable source not refused as such");
        return 0;
    }
    if (!source) fuzz::fail("an undecodable source converted");
    const auto& c = *converted;
    if (c.table1.size() + c.table2.size() + c.filter1.size() + c.filter2.size() + c.comments + c.blanks + c.headers !=
        source->lines.size())
        fuzz::fail("a source line neither converted nor dropped");

    auto table1 = parse_table1(read_back(c.table1, output));
    auto table2 = parse_table2(read_back(c.table2, output));
    if (!table1 || !table2) fuzz::fail("a converted table has an empty value");
    if ((!c.table1.empty() && table1->read_error) || (!c.table2.empty() && table2->read_error))
        fuzz::fail("a converted table has a line its loader cannot store");
    auto filter1 = readfilter1(read_back(c.filter1, output));
    auto filter2 = readfilter2(read_back(c.filter2, output));
    if (!filter1 || !filter2) fuzz::fail("a converted filter list does not parse");
    for (const auto& entry : filter1->entries())
        if (entry.kind == ControlKind::jump && entry.jump_count == kJumpCountNotANumber) fuzz::fail("bad jump count");

    // Converted tables are themselves tables of the convention, and convert
    // to themselves.
    const auto tables_written = text::encode(table_conversion::file_text(c.table1) + table_conversion::file_text(c.table2), output);
    auto again = table_conversion::convert_table(*tables_written,
                                       output == text::Encoding::utf8 ? table_conversion::SourceEncoding::utf8
                                                                      : table_conversion::SourceEncoding::gbk,
                                       output);
    if (!c.table1.empty() || !c.table2.empty()) {
        if (!again || again->table1 != c.table1 || again->table2 != c.table2) fuzz::fail("tables do not convert to themselves");
    }
    return 0;
}
