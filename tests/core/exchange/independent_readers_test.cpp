// What the writers write, read by readers that are not ours: gettext's
// msgfmt (which must find nothing to report) and Python's csv, json and
// gettext modules, which must find exactly the texts that were written.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/exchange/exchange_support.hpp"
#include "core/support/child_process.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::exchange {
namespace {

using testing::Unit;

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string hex_line(std::initializer_list<std::u16string_view> fields) {
    std::string line;
    for (std::u16string_view field : fields) {
        if (!line.empty()) line += ' ';
        const std::string bytes = text::to_utf8(field);
        if (bytes.empty()) line += '-';
        constexpr char kHex[] = "0123456789abcdef";
        for (unsigned char c : bytes) line += {kHex[c >> 4], kHex[c & 0xF]};
    }
    return line + "\n";
}

class IndependentReaders : public ::testing::Test {
protected:
    // Runs the program; its standard output when it ends well and says
    // nothing on standard error.
    std::string run(const std::vector<std::string>& argv) {
        const quillmere::testing::ChildEnd end = quillmere::testing::run_program(argv, dir / "out", dir / "err");
        EXPECT_FALSE(end.killed) << argv[0];
        EXPECT_EQ(end.status, 0) << argv[0] << ": " << contents(dir / "err");
        EXPECT_EQ(contents(dir / "err"), "") << argv[0];
        return contents(dir / "out");
    }
    std::string python(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"python3", QUILLMERE_EXCHANGE_PYTHON_READER};
        argv.insert(argv.end(), args.begin(), args.end());
        return run(argv);
    }
    std::string write(const char* name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }

    quillmere::testing::TempDir dir;
    std::vector<Unit> units = testing::tricky_units();
};

TEST_F(IndependentReaders, msgfmt_checks_the_po_file_and_gettext_reads_its_translations) {
    const std::string po = write("units.po", testing::write_units(Format::po, units));
    run({"msgfmt", "--check", "-o", (dir / "units.mo").string(), po});
    std::vector<std::string> expected;
    for (const Unit& unit : units)
        if (!unit.target.empty()) expected.push_back(hex_line({unit.key + u"\x04" + unit.source, unit.target}));
    std::sort(expected.begin(), expected.end());
    std::string lines;
    for (const std::string& line : expected) lines += line;
    EXPECT_EQ(python({"mo", (dir / "units.mo").string()}), lines);
}

TEST_F(IndependentReaders, python_reads_the_csv_files_and_the_json_file) {
    std::string expected = hex_line({u"address", u"length", u"source", u"target", u"comment"});
    for (const Unit& unit : units)
        expected += hex_line({unit.key, unit.length, unit.source, unit.target, unit.context});
    EXPECT_EQ(python({"csv", write("units.csv", testing::write_units(Format::csv, units)), "utf-8-sig"}), expected);

    std::erase_if(units, [](const Unit& unit) { return unit.target.find(u"𠀀") != std::u16string::npos; });
    expected = hex_line({u"address", u"length", u"source", u"target", u"comment"});
    for (const Unit& unit : units)
        expected += hex_line({unit.key, unit.length, unit.source, unit.target, unit.context});
    EXPECT_EQ(python({"csv", write("gbk.csv", testing::write_units(Format::csv, units, CsvEncoding::gbk)), "gbk"}),
              expected);

    units = testing::tricky_units();
    expected.clear();
    for (const Unit& unit : units) expected += hex_line({unit.key, unit.source, unit.target, unit.context});
    EXPECT_EQ(python({"json", write("units.json", testing::write_units(Format::json, units))}), expected);
}

}  // namespace
}  // namespace quillmere::exchange
