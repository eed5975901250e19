#include "core/export/exportrange.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Tables and filters of one scan, built from code lines as the user writes them.
struct Scanner {
    CodeTables tables;
    ExportFilters filters;
    std::size_t max_text_length = kMaxExportTextLength;

    Scanner& single(std::initializer_list<std::pair<std::uint8_t, std::u16string>> entries) {
        tables.single.emplace();
        for (const auto& [code, value] : entries) tables.single->slots[code] = value;
        return *this;
    }
    Scanner& pairs(std::initializer_list<std::pair<std::uint16_t, std::u16string>> entries) {
        tables.double_byte.emplace();
        for (const auto& [code, value] : entries)
            tables.double_byte->set(static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code & 0xFF), value);
        return *this;
    }
    Scanner& filter1(std::vector<std::u16string> lines) {
        auto parsed = readfilter1(lines);
        EXPECT_TRUE(parsed.has_value());
        if (parsed) filters.single = std::move(*parsed);
        return *this;
    }
    Scanner& filter2(std::vector<std::u16string> lines) {
        auto parsed = readfilter2(lines);
        EXPECT_TRUE(parsed.has_value());
        if (parsed) filters.double_byte = std::move(*parsed);
        return *this;
    }

    // The whole ROM unless told otherwise.
    Expected<std::u16string, ExportFailed> scan(const Bytes& rom, std::u16string_view minimum = u"0", std::int32_t start = 0,
                                                std::int32_t end = -1) const {
        if (end < 0) end = static_cast<std::int32_t>(rom.size()) - 1;
        return exportrange(rom, start, end, tables, filters, minimum, {}, max_text_length);
    }
    std::u16string text(const Bytes& rom, std::u16string_view minimum = u"0", std::int32_t start = 0,
                        std::int32_t end = -1) const {
        auto got = scan(rom, minimum, start, end);
        EXPECT_TRUE(got.has_value());
        return got ? *got : u"<failed>";
    }
};

std::u16string records(std::initializer_list<std::u16string_view> each) {
    std::u16string out;
    for (std::u16string_view record : each) (out += record) += u"\r\n\r\n";
    return out;
}

Bytes padded(std::size_t offset, Bytes tail) {
    Bytes rom(offset, 0xFF);
    rom.insert(rom.end(), tail.begin(), tail.end());
    return rom;
}

// Both kinds of table and filter: what the pieces of a run look like.
Scanner full_setup() {
    Scanner setup;
    setup.single({{0x41, u"A"}})
        .pairs({{0xB0A1, u"啊"}})
        .filter1({u"00=over", u"F0=turn2", u"F1=turn", u"0A=LF"})
        .filter2({u"8000=over", u"8001=turn1", u"8002=name"});
    return setup;
}

TEST(exportrange_test, every_piece_kind) {
    struct Case {
        Bytes rom;
        std::u16string want;
    };
    const Case cases[] = {
        {{0x41, 0xFF}, records({u"0,1,A"})},
        {{0xB0, 0xA1, 0xFF}, records({u"0,2,啊"})},
        {{0x0A, 0xFF}, records({u"0,1,{LF}"})},
        {{0x80, 0x02, 0xFF}, records({u"0,2,{name}"})},
        {{0x41, 0x00}, records({u"0,2,A{结束符00}"})},
        {{0x41, 0x80, 0x00}, records({u"0,3,A{结束符8000}"})},
        {{0xF1, 0xFF}, records({u"0,1,{跳跃符F1：}"})},
        {{0x80, 0x01, 0x00, 0xFF}, records({u"0,3,{跳跃符8001：00}"})},
        // An end code right after an unmatched byte is a record of its own.
        {{0xFF, 0x00}, records({u"1,1,{结束符00}"})},
        {{0xFF, 0x80, 0x00}, records({u"1,2,{结束符8000}"})},
        // Unmatched bytes give no empty records; both ways of closing give the run's first offset.
        {{0xFF, 0xFF, 0x41, 0x00, 0xFF, 0x41, 0x41, 0xFF, 0xFF}, records({u"2,2,A{结束符00}", u"5,2,AA"})},
    };
    const Scanner setup = full_setup();
    for (const Case& c : cases) EXPECT_EQ(setup.text(c.rom), c.want) << text::to_utf8(c.want);
}

TEST(exportrange_test, examples_of_the_format) {
    Scanner single;
    single.single({{0x41, u"A"}, {0x42, u"B"}}).filter1({u"00=over"});
    EXPECT_EQ(single.text(padded(0x1000, {0x41, 0x42, 0x00})), records({u"1000,3,AB{结束符00}"}));
    EXPECT_EQ(single.text(padded(0x1000, {0x41, 0x42, 0xFF})), records({u"1000,2,AB"}));

    Scanner pair;
    pair.pairs({{0x8140, u"\u3000"}});
    EXPECT_EQ(pair.text({0x81, 0x40, 0xFF}), records({u"0,2,\u3000"}));

    Scanner comma;
    comma.single({{0x2A, u","}});
    EXPECT_EQ(comma.text(padded(0x2A0, {0x2A, 0xFF})), records({u"2A0,1,,"}));

    Scanner jump;
    jump.single({{0x41, u"A"}}).filter1({u"F0=turn2"});
    EXPECT_EQ(jump.text({0x41, 0xF0, 0x01, 0x2C, 0x41, 0xFF}), records({u"0,5,A{跳跃符F0：012C}A"}));
}

TEST(exportrange_test, rules_apply_in_order) {
    // A single-byte entry wins over the pair it starts.
    Scanner both;
    both.single({{0x81, u"x"}}).pairs({{0x8140, u"y"}});
    EXPECT_EQ(both.text({0x81, 0x40, 0xFF}), records({u"0,1,x"}));
    both.single({{0x81, u"x"}, {0x40, u"z"}});
    EXPECT_EQ(both.text({0x81, 0x40, 0xFF}), records({u"0,2,xz"}));

    // Filters before tables, control codes before tags, single before double.
    Scanner order;
    order.single({{0x41, u"A"}, {0x42, u"B"}})
        .pairs({{0x8140, u"y"}, {0x8240, u"w"}, {0x4142, u"p"}})
        .filter1({u"42=tag"})
        .filter2({u"8140=over", u"8240=name", u"4100=over"});
    EXPECT_EQ(order.text({0x42, 0x81, 0x40}), records({u"0,3,{tag}{结束符8140}"}));
    EXPECT_EQ(order.text({0x82, 0x40, 0x41, 0x00, 0xFF}), records({u"0,3,{name}A"}));

    // A ticked single-byte list acts in double-byte mode too.
    Scanner double_mode;
    double_mode.pairs({{0xB0A1, u"啊"}}).filter1({u"00=over"});
    EXPECT_EQ(double_mode.text({0xB0, 0xA1, 0x00, 0xB0, 0xA1}), records({u"0,3,啊{结束符00}"}));
}

TEST(exportrange_test, end_address_and_end_of_file) {
    const Scanner setup = full_setup();
    // A pair or jump code at the end address takes bytes after it.
    EXPECT_EQ(setup.text({0x41, 0x80, 0x00}, u"0", 0, 1), records({u"0,3,A{结束符8000}"}));
    EXPECT_EQ(setup.text({0x41, 0xB0, 0xA1, 0xFF}, u"0", 0, 1), u"");
    // The parameters carry the position past the end: the open run is dropped.
    const Bytes jump{0x41, 0xF0, 0x01, 0x2C, 0x00};
    EXPECT_EQ(setup.text(jump, u"0", 0, 1), u"");
    EXPECT_EQ(setup.text(jump, u"0", 0, 4), records({u"0,5,A{跳跃符F0：012C}{结束符00}"}));
    // No byte past the file's end is read: such codes match nothing there.
    EXPECT_EQ(setup.text({0x41, 0xF0, 0x01}), records({u"0,1,A"}));
    EXPECT_EQ(setup.text({0x41, 0x80, 0x01}), records({u"0,1,A"}));
    EXPECT_EQ(setup.text({0x41, 0x80}), records({u"0,1,A"}));
    // A code that does not apply there leaves the byte to the rules after it.
    Scanner fallback;
    fallback.single({{0x41, u"A"}, {0xF0, u"z"}}).filter1({u"F0=turn2"});
    EXPECT_EQ(fallback.text({0x41, 0xF0, 0x01}), records({u"0,2,Az"}));
    // An end beyond the file is no error; the last open run is still dropped.
    EXPECT_EQ(setup.text({0x41, 0x41, 0xFF, 0x41}, u"0", 0, 0x7FFFFFFF), records({u"0,2,AA"}));
    EXPECT_EQ(setup.text({0x41, 0xFF}, u"0", 5, 0x7FFFFFFF), u"");
    // Only the stretch is scanned.
    EXPECT_EQ(setup.text({0x41, 0xFF, 0x41, 0x41, 0xFF}, u"0", 1, 4), records({u"2,2,AA"}));
}

TEST(exportrange_test, minimum_run_length) {
    Scanner setup;
    setup.single({{0x41, u"A"}});
    const Bytes rom{0xFF, 0x41, 0xFF, 0xFF, 0x41, 0x41, 0xFF};
    EXPECT_EQ(setup.text(rom, u"0"), records({u"1,1,A", u"4,2,AA"}));
    EXPECT_EQ(setup.text(rom, u"1"), records({u"4,2,AA"}));
    EXPECT_EQ(setup.text(rom, u" +1 "), records({u"4,2,AA"}));
    EXPECT_EQ(setup.text(rom, u"2"), u"");
    EXPECT_EQ(setup.text(rom, u"-1"), records({u"0,0,", u"1,1,A", u"3,0,", u"4,2,AA"}));
    // Read when a run closes: a scan where nothing closes does not fail.
    for (std::u16string_view bad : {u"abc", u"", u"1.5"})
        EXPECT_EQ(setup.scan(rom, bad).error(), ExportFailed::minimum_not_a_number);
    EXPECT_EQ(setup.text({0x41, 0x41}, u"abc"), u"");
}

TEST(exportrange_test, a_run_covers_at_most_32767_bytes) {
    Scanner setup;
    setup.single({{0x41, u"A"}}).filter1({u"00=over", u"F0=turn40000"});
    Bytes longest(32767, 0x41);
    longest.push_back(0xFF);
    EXPECT_EQ(setup.text(longest), u"0,32767," + std::u16string(32767, u'A') + u"\r\n\r\n");
    Bytes too_long(32768, 0x41);
    too_long.push_back(0xFF);
    EXPECT_EQ(setup.scan(too_long).error(), ExportFailed::run_too_long);
    longest.back() = 0x00;  // the end code would be byte 32768
    EXPECT_EQ(setup.scan(longest).error(), ExportFailed::run_too_long);
    Bytes jump(40001, 0x00);
    jump[0] = 0xF0;
    EXPECT_EQ(setup.scan(jump).error(), ExportFailed::run_too_long);
}

TEST(exportrange_test, gives_up_before_the_text_outgrows_its_limit) {
    // Half the limit and one more: one such value fits, two cannot.
    Scanner setup;
    setup.max_text_length = 4096;
    setup.single({{0x42, u"B"}});
    setup.tables.single->slots[0x41].assign(setup.max_text_length / 2 + 1, u'x');
    EXPECT_EQ(setup.scan({0x41, 0x41, 0xFF}).error(), ExportFailed::text_too_long);
    EXPECT_EQ(setup.text({0x42, 0x42, 0xFF}), records({u"0,2,BB"}));
}

TEST(exportrange_test, jump_count_that_is_not_a_number_fails_when_met) {
    Scanner setup;
    setup.single({{0x41, u"A"}}).filter1({u"F0=turnip"}).filter2({u"8001=turnx"});
    EXPECT_EQ(setup.text({0x41, 0xFF}), records({u"0,1,A"}));
    EXPECT_EQ(setup.scan({0x41, 0xF0, 0xFF}).error(), ExportFailed::jump_count_not_a_number);
    EXPECT_EQ(setup.scan({0x41, 0x80, 0x01, 0xFF}).error(), ExportFailed::jump_count_not_a_number);
}

TEST(exportrange_test, stretch_without_closed_runs_gives_empty_text) {
    const Scanner setup = full_setup();
    EXPECT_EQ(setup.text({0x41, 0x41, 0xB0, 0xA1}), u"");
    EXPECT_EQ(setup.text({0xFF, 0xFF, 0xFF}), u"");
}

}  // namespace
}  // namespace quillmere
