// The three formats: what the writers write (golden files), that the readers
// give back exactly what was written, and which lines they name as
// malformed.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/exchange/exchange_support.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::exchange {
namespace {

using testing::Unit;

std::string golden(const char* name) {
    std::ifstream in(std::string(QUILLMERE_EXCHANGE_GOLDEN_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string gbk(std::u16string_view text) {
    const auto bytes = text::encode_gbk(text);
    EXPECT_TRUE(bytes.has_value());
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

TEST(exchange_formats_test, writers_match_their_golden_files) {
    const auto units = testing::tricky_units();
    EXPECT_EQ(testing::write_units(Format::po, units), golden("units.po"));
    EXPECT_EQ(testing::write_units(Format::csv, units), golden("units.csv"));
    EXPECT_EQ(testing::write_units(Format::json, units), golden("units.json"));
    // An empty script still gives a file each reader takes.
    EXPECT_EQ(testing::write_units(Format::json, {}), "[]\n");
    for (Format format : {Format::po, Format::csv, Format::json}) {
        const UnitFile read = read_units(format, testing::write_units(format, {}), CsvEncoding::gbk);
        EXPECT_TRUE(read.units.empty());
        EXPECT_TRUE(read.malformed_lines.empty());
    }
}

TEST(exchange_formats_test, every_text_comes_back_exactly) {
    const auto units = testing::tricky_units();
    for (Format format : {Format::po, Format::csv, Format::json}) {
        const UnitFile read = read_units(format, testing::write_units(format, units), CsvEncoding::gbk);
        EXPECT_TRUE(read.malformed_lines.empty()) << static_cast<int>(format);
        EXPECT_EQ(testing::units_read(read), testing::without_length_and_note(units)) << static_cast<int>(format);
        for (const UnitIn& unit : read.units) EXPECT_TRUE(unit.has_source);
    }
    // Code page 936 holds everything but the characters outside the BMP.
    auto gbk_units = units;
    gbk_units[4].target = u"目标";
    const std::string csv = testing::write_units(Format::csv, gbk_units, CsvEncoding::gbk);
    EXPECT_FALSE(csv.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(testing::units_read(read_csv(csv, CsvEncoding::gbk)), testing::without_length_and_note(gbk_units));
    Writer writer(Format::csv, CsvEncoding::gbk);
    EXPECT_EQ(writer.add({u"1", u"1", u"a", u"𠀀", u""}), std::optional<char32_t>(U'𠀀'));
}

struct ReadCase {
    const char* what;
    Format format;
    std::string file;
    std::vector<std::size_t> malformed;
    std::vector<std::u16string> keys;  // of the units read
};

void expect_read(const ReadCase& c) {
    const UnitFile read = read_units(c.format, c.file, CsvEncoding::gbk);
    EXPECT_EQ(read.malformed_lines, c.malformed) << c.what;
    std::vector<std::u16string> keys;
    for (const UnitIn& unit : read.units) keys.emplace_back(read.text(unit.key));
    EXPECT_EQ(keys, c.keys) << c.what;
}

TEST(exchange_formats_test, po_reader_names_the_lines_it_cannot_read) {
    const std::string entry_a = "msgctxt \"A\"\nmsgid \"a\"\nmsgstr \"\"\n\n";
    const ReadCase cases[] = {
        {"header, obsolete entry, comments", Format::po,
         "# translator\nmsgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n#~ msgctxt \"Z\"\n#~ "
         "msgid \"z\"\n#~ msgstr \"\"\n\n#: ref\n#. note\n" + entry_a + "msgctxt \"B\"\nmsgid \"b\"\nmsgstr \"x\"\n",
         {}, {u"A", u"B"}},
        {"entries without blank lines between them", Format::po,
         "msgctxt \"A\"\nmsgid \"a\"\nmsgstr \"\"\nmsgctxt \"B\"\nmsgid \"b\"\nmsgstr \"\"\n#, fuzzy\nmsgctxt \"C\"\n"
         "msgid \"c\"\nmsgstr \"\"", {}, {u"A", u"B", u"C"}},
        {"string not closed", Format::po, "msgctxt \"A\"\nmsgid \"a\nmsgstr \"\"\n\n" + entry_a, {2}, {u"A"}},
        {"unknown escape, text after the string", Format::po,
         "msgctxt \"A\"\nmsgid \"\\q\"\nmsgstr \"\"\n\nmsgctxt \"B\"\nmsgid \"b\" x\nmsgstr \"\"\n", {2, 6}, {}},
        {"plural entry", Format::po, "msgctxt \"A\"\nmsgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"\"\n", {3}, {}},
        {"no msgctxt, no msgstr, continuation without keyword", Format::po,
         "msgid \"a\"\nmsgstr \"\"\n\nmsgctxt \"B\"\nmsgid \"b\"\n\n\"stray\"\n\n" + entry_a, {1, 4, 7}, {u"A"}},
        {"a second header, an empty key", Format::po,
         "msgid \"\"\nmsgstr \"\"\n\nmsgid \"\"\nmsgstr \"\"\n\nmsgctxt \"\"\nmsgid \"x\"\nmsgstr \"\"\n", {4, 7}, {}},
        {"bytes that are not UTF-8 in a string", Format::po,
         "msgctxt \"A\"\nmsgid \"\xC4\xE3\"\nmsgstr \"\"\n\n" + entry_a, {2}, {u"A"}},
        {"UTF-8 spelled in octal, whole and cut short", Format::po,
         "msgctxt \"\\344\\275\\240\"\nmsgid \"\"\nmsgstr \"\"\n\nmsgctxt \"B\"\nmsgid \"\"\nmsgstr \"\\344\"\n", {7},
         {u"你"}},
        {"keyword twice", Format::po, "msgctxt \"A\"\nmsgctxt \"B\"\nmsgid \"a\"\nmsgstr \"\"\n", {2}, {}},
    };
    for (const ReadCase& c : cases) expect_read(c);
}

TEST(exchange_formats_test, po_reader_takes_what_editors_write) {
    // CR LF, a byte-order mark, strings over several lines, flags, escapes.
    const std::string file =
        "\xEF\xBB\xBFmsgid \"\"\r\nmsgstr \"\"\r\n\r\n#, fuzzy, c-format\r\nmsgctxt \"1\"\r\nmsgid \"\"\r\n\"first \"\r\n"
        "\"second\\n\"\r\nmsgstr \"\\x41\\101\\\"\\?\"\r\n\r\n#,no-wrap\r\nmsgctxt \"2\"\r\nmsgid \"b\"\r\nmsgstr \"c\"\r\n";
    const UnitFile read = read_po(file);
    ASSERT_EQ(read.units.size(), 2u);
    EXPECT_TRUE(read.malformed_lines.empty());
    EXPECT_EQ(read.text(read.units[0].source), u"first second\n");
    EXPECT_EQ(read.text(read.units[0].target), u"AA\"?");
    EXPECT_TRUE(read.units[0].fuzzy);
    EXPECT_FALSE(read.units[1].fuzzy);
    EXPECT_EQ(read.units[1].line, 11u);  // the flags line starts the entry
}

TEST(exchange_formats_test, csv_reader_names_the_lines_it_cannot_read) {
    const std::string header = "address,length,source,target,comment\r\n";
    const ReadCase cases[] = {
        {"columns in another order, source left out, blank rows", Format::csv,
         "Target , ADDRESS\n,\n甲,10\n\n\"a\nb\",20\n,\n", {}, {u"10", u"20"}},
        {"a row with another number of fields", Format::csv, header + "1,2,a,b\r\n2,1,a,b,c\r\n3,1,a,b,c,d\r\n", {2, 4},
         {u"2"}},
        {"text after a closing quote", Format::csv, header + "1,1,\"a\"b,c,\r\n2,1,a,b,c\r\n", {2}, {u"2"}},
        {"a quote never closed names the row it opens", Format::csv, header + "1,1,a,b,c\r\n2,1,\"a\r\nb,c,d\r\n",
         {3}, {u"1"}},
        {"line numbers count line ends inside cells", Format::csv, header + "1,1,\"a\r\nb\r\nc\",d,e\r\n2,1,a\r\n",
         {5}, {u"1"}},
        {"no target column", Format::csv, "address,source\r\n1,a\r\n", {1}, {}},
        {"a column named twice", Format::csv, "address,target,target\r\n1,a,b\r\n", {1}, {}},
        {"an empty address", Format::csv, header + ",1,a,b,c\r\n", {2}, {}},
        {"well-formed UTF-8 that is not, in a marked file", Format::csv,
         "\xEF\xBB\xBF" + header + "1,1,\xC4\xE3,b,c\r\n2,1,a,b,c\r\n", {2}, {u"2"}},
    };
    for (const ReadCase& c : cases) expect_read(c);
    // Code page 936 when the file is not UTF-8; bytes that are neither name
    // their line instead of turning into substitutes.
    const UnitFile read = read_csv(header + gbk(u"1,1,你好,世界,\r\n"), CsvEncoding::gbk);
    ASSERT_EQ(read.units.size(), 1u);
    EXPECT_EQ(read.text(read.units[0].target), u"世界");
    EXPECT_EQ(read_csv(header + "1,1,a,b,c\r\n2,1,\x81\x20,b,c\r\n", CsvEncoding::gbk).malformed_lines,
              std::vector<std::size_t>{3});
    EXPECT_EQ(read_csv(header + gbk(u"1,1,你好,世界,\r\n"), CsvEncoding::utf8).malformed_lines,
              std::vector<std::size_t>{2});
}

TEST(exchange_formats_test, json_reader_names_the_lines_it_cannot_read) {
    const ReadCase cases[] = {
        {"ParaTranz's other members, null translation, escapes", Format::json,
         "[{\"key\":\"1\",\"original\":\"a\",\"translation\":null,\"stage\":1,\"context\":\"x\","
         "\"extra\":{\"n\":[1,-2.5e3,true,false,null,\"\\ud83d\\ude00\\/\"]}}]",
         {}, {u"1"}},
        {"a missing comma ends the reading at its line", Format::json,
         "[\n{\"key\":\"1\"},\n{\"key\":\"2\"}\n{\"key\":\"3\"}\n]", {4}, {u"1", u"2"}},
        {"no key, an empty key, a key that is no string", Format::json,
         "[\n{\"original\":\"a\"},\n{\"key\":\"\"},\n{\n\"key\":1},\n{\"key\":\"4\"}\n]", {2, 3, 5}, {u"4"}},
        {"an element that is no object", Format::json, "[\n1,\n\"s\",\n{\"key\":\"3\"}]", {2, 3}, {u"3"}},
        {"a member twice", Format::json, "[{\"key\":\"1\",\n\"translation\":\"a\",\n\"translation\":\"b\"}]", {3}, {}},
        {"a lone surrogate", Format::json, "[{\"key\":\"1\",\"translation\":\"\\ud800\"}]", {1}, {}},
        {"a raw line end inside a string", Format::json, "[{\"key\":\"1\n\"}]", {1}, {}},
        {"text after the array", Format::json, "[]\n[]", {2}, {}},
        {"not an array", Format::json, "{\"key\":\"1\"}", {1}, {}},
        {"nesting past the limit", Format::json,
         "[{\"key\":\"1\",\"x\":" + std::string(100, '[') + std::string(100, ']') + "}]", {1}, {}},
        {"bad numbers", Format::json, "[{\"key\":\"1\",\"x\":01}]", {1}, {}},
    };
    for (const ReadCase& c : cases) expect_read(c);
    const UnitFile read = read_json("[{\"key\":\"1\",\"translation\":\"\\u4f60\\ud83d\\ude00\\t\"}]");
    ASSERT_EQ(read.units.size(), 1u);
    EXPECT_EQ(read.text(read.units[0].target), u"你😀\t");
    EXPECT_FALSE(read.units[0].has_source);
}

}  // namespace
}  // namespace quillmere::exchange
