// An export text left unchanged checks as legal and imports back to exactly
// the bytes it was exported from. The export text is made here by a small
// scanner that follows the export's rules, over generated ROM images, code
// tables and filter lists.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "core/commands/export_command.hpp"
#include "core/commands/script_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/encoding/markers.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::TempDir;

struct FilterCode {
    enum Kind { end, jump, tag } kind = tag;
    int count = 0;           // parameter bytes of a jump code
    std::u16string value;    // VALUE of a tag
};

struct Generated {
    RomMode mode = RomMode::double_byte;
    std::map<int, std::u16string> single_table, double_table;      // code -> VALUE
    std::map<int, FilterCode> single_filter, double_filter;          // code -> entry
    std::u16string single_table_text, double_table_text, single_filter_text, double_filter_text;
    Bytes rom;
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    Generated make() {
        Generated g;
        g.mode = static_cast<RomMode>(pick(3));
        // Every value and tag starts with a character no other one starts
        // with, so a text reads back one way only.
        const int single_count = 20 + pick(40), double_count = 20 + pick(80);
        for (int i = 0; i < single_count; ++i) g.single_table[pick(256)] = value();
        for (int i = 0; i < double_count; ++i) g.double_table[pick(0x10000)] = value();
        for (int i = 0; i < 6; ++i) g.single_filter[pick(256)] = filter_code();
        for (int i = 0; i < 6; ++i) g.double_filter[pick(0x10000)] = filter_code();
        for (auto& [code, v] : g.single_table) add_line(g.single_table_text, single_key(code), v);
        for (auto& [code, v] : g.double_table) add_line(g.double_table_text, double_key(code), v);
        for (auto& [code, f] : g.single_filter) add_line(g.single_filter_text, single_key(code), filter_value(f));
        for (auto& [code, f] : g.double_filter) add_line(g.double_filter_text, filter_key(code), filter_value(f));
        make_rom(g);
        return g;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    char16_t fresh_first() {
        for (;;) {
            char16_t c = static_cast<char16_t>(0x4E00 + pick(0x51A6));  // in code page 936
            if (firsts_.insert(c).second) return c;
        }
    }

    std::u16string value() {
        if (pick(10) == 0) {  // a comma or a lone "}" stands for itself
            char16_t c = pick(2) ? u',' : u'}';
            if (firsts_.insert(c).second) return std::u16string(1, c);
        }
        std::u16string v(1, fresh_first());
        if (pick(6) == 0)
            for (int n = 1 + pick(2); n > 0; --n) v += static_cast<char16_t>(u'a' + pick(26));
        return v;
    }

    FilterCode filter_code() {
        switch (pick(4)) {
            case 0: return {FilterCode::end, 0, {}};
            case 1: return {FilterCode::jump, pick(4), {}};
            default: return {FilterCode::tag, 0, std::u16string(1, fresh_first()) + u"tag"};
        }
    }

    static void add_line(std::u16string& text, const std::u16string& code, const std::u16string& v) {
        text += code + u"=" + v + u"\r\n";
    }

    static std::u16string filter_value(const FilterCode& f) {
        if (f.kind == FilterCode::end) return u"over";
        if (f.kind == FilterCode::jump) return f.count == 0 ? u"turn" : u"turn" + std::u16string(1, static_cast<char16_t>(u'0' + f.count));
        return f.value;
    }

    std::u16string padded(int code, int digits) {
        std::u16string hex = to_hex(static_cast<std::uint32_t>(code));
        while (static_cast<int>(hex.size()) < digits) hex = u"0" + hex;
        if (pick(2)) for (char16_t& c : hex) if (c >= u'A') c = static_cast<char16_t>(c - u'A' + u'a');
        return hex;
    }
    std::u16string single_key(int code) { return padded(code, 1 + pick(4)); }
    // Forms the export and the import read alike: 1-4 digits, or longer
    // keys of which only the first two and last two digits count.
    std::u16string double_key(int code) {
        if (pick(5) == 0) {
            std::u16string four = padded(code, 4);
            return four.substr(0, 2) + u"7" + four.substr(2);
        }
        return filter_key(code);
    }
    std::u16string filter_key(int code) { return padded(code, pick(2) ? 4 : 1); }

    void make_rom(Generated& g) {
        std::vector<int> singles, doubles;
        for (auto& [code, v] : g.single_table) singles.push_back(code);
        for (auto& [code, v] : g.double_table) doubles.push_back(code);
        for (auto& [code, f] : g.single_filter) singles.push_back(code);
        for (auto& [code, f] : g.double_filter) doubles.push_back(code);
        const int size = 400 + pick(600);
        while (static_cast<int>(g.rom.size()) < size) {
            const int choice = pick(10);
            if (choice < 4) {
                g.rom.push_back(static_cast<std::uint8_t>(singles[pick(static_cast<int>(singles.size()))]));
            } else if (choice < 8) {
                int code = doubles[pick(static_cast<int>(doubles.size()))];
                g.rom.push_back(static_cast<std::uint8_t>(code >> 8));
                g.rom.push_back(static_cast<std::uint8_t>(code & 0xFF));
            } else {
                g.rom.push_back(static_cast<std::uint8_t>(pick(256)));
            }
        }
    }

    std::mt19937 random_;
    std::set<char16_t> firsts_;
};

struct Record {
    std::size_t address = 0, length = 0;
};

// The export's scan from offset 0 to `end` (the image holds a few bytes
// more, so a code near the end reads real bytes after it).
std::u16string export_text(const Generated& g, std::size_t end, std::vector<Record>& records) {
    const bool single_chars = g.mode != RomMode::double_byte, double_chars = g.mode != RomMode::single_byte;
    std::u16string out, run;
    std::size_t length = 0;
    for (std::size_t p = 0; p <= end; ++p) {
        const std::uint8_t b1 = g.rom[p], b2 = g.rom[p + 1];
        const int pair = b1 << 8 | b2;
        bool matched = true, ended = false;
        auto params = [&](std::size_t from, int n) { return std::span<const std::uint8_t>(&g.rom[from], n); };
        const std::uint8_t code1[] = {b1}, code2[] = {b1, b2};
        if (auto f = g.single_filter.find(b1); f != g.single_filter.end()) {
            if (f->second.kind == FilterCode::end) {
                run += end_marker(code1);
                length += 1;
                ended = true;
            } else if (f->second.kind == FilterCode::jump) {
                run += jump_marker(code1, params(p + 1, f->second.count));
                length += 1 + f->second.count;
                p += f->second.count;
            } else {
                run += tag_text(f->second.value);
                length += 1;
            }
        } else if (auto c = g.single_table.find(b1); single_chars && c != g.single_table.end()) {
            run += c->second;
            length += 1;
        } else if (auto d = g.double_filter.find(pair); d != g.double_filter.end()) {
            if (d->second.kind == FilterCode::end) {
                run += end_marker(code2);
                ended = true;
            } else if (d->second.kind == FilterCode::jump) {
                run += jump_marker(code2, params(p + 2, d->second.count));
                length += d->second.count;
                p += d->second.count;
            } else {
                run += tag_text(d->second.value);
            }
            length += 2;
            p += 1;
        } else if (auto e = g.double_table.find(pair); double_chars && e != g.double_table.end()) {
            run += e->second;
            length += 2;
            p += 1;
        } else {
            matched = false;
        }
        if (ended || !matched) {
            if (length > 0) {
                const std::size_t first = p + (ended ? 1 : 0) - length;
                records.push_back({first, length});
                const std::string digits = std::to_string(length);
                out += to_hex(static_cast<std::uint32_t>(first)) + u"," +
                       std::u16string(digits.begin(), digits.end()) + u"," + run + u"\r\n\r\n";
            }
            run.clear();
            length = 0;
        }
    }
    return out;
}

TEST(script_round_trip_test, unedited_export_checks_and_imports_back_byte_for_byte) {
    std::size_t total_records = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        TempDir dir;
        Generated g = Generator(seed).make();
        std::vector<Record> records;
        const std::u16string text = export_text(g, g.rom.size() - 8, records);
        total_records += records.size();

        testing::write_gbk(dir / "single.tbl", g.single_table_text);
        testing::write_gbk(dir / "double.tbl", g.double_table_text);
        testing::write_gbk(dir / "script.txt", text + u"\r\n");
        Bytes blank = g.rom;  // the records' bytes changed, so the import must write every one
        for (const Record& r : records)
            for (std::size_t i = r.address; i < r.address + r.length; ++i) blank[i] = static_cast<std::uint8_t>(~blank[i]);
        testing::write_file(dir / "rom.bin", blank);

        ImportRequest request;
        const bool preview = seed % 3 == 0;
        request.preview = preview;
        request.script_text = text;
        request.script_file = preview ? std::filesystem::path() : dir / "script.txt";
        request.tables.mode = g.mode;
        request.tables.double_table = dir / "double.tbl";
        request.tables.single_table = dir / "single.tbl";
        request.tables.double_filter = {g.double_filter_text, true};
        request.tables.single_filter = {g.single_filter_text, true};
        if (seed % 2 == 0) request.tables.data_dir = dir.path();
        request.rom = dir / "rom.bin";

        EXPECT_EQ(run_check(request).message, notice_message(u"此文本为合法文本"));
        EXPECT_EQ(run_import(request).message, notice_message(u"文本导入成功"));
        EXPECT_EQ(testing::read_file(dir / "rom.bin"), g.rom);
    }
    EXPECT_GT(total_records, 1000u);  // the cases say something
}

TEST(script_round_trip_test, long_double_byte_codes_name_the_same_pair_in_export_and_import) {
    // Codes of five and more digits: the first two and the last two digits.
    TempDir dir;
    const Bytes rom{0x41, 0xB0, 0xA1, 0x81, 0x40, 0x8F, 0x40, 0xF0, 0x01, 0x07, 0x41, 0x0A, 0x00,
                    0xB0, 0xA1, 0x0A, 0x00};
    testing::write_file(dir / "rom.bin", rom);
    testing::write_gbk(dir / "single.tbl", u"41=A\r\n");
    testing::write_gbk(dir / "double.tbl", u"B07A1=啊\r\n8F0140=你\r\n");
    const FilterListInput double_filter{u"0A000=over\r\n81240=名\r\nF0F01=turn1", true};

    ExportRequest exporting;
    exporting.rom = dir / "rom.bin";
    exporting.start = u"0";
    exporting.end = u"10";
    exporting.tables.mode = RomMode::both;
    exporting.tables.double_table = dir / "double.tbl";
    exporting.tables.single_table = dir / "single.tbl";
    exporting.tables.double_filter = double_filter;
    exporting.preview = true;
    exporting.tables.data_dir = dir.path();
    const CommandResult<ExportPayload> exported = run_export(exporting);
    ASSERT_TRUE(exported.payload.text.has_value());
    ASSERT_EQ(*exported.payload.text,
              u"0,13,A啊{名}你{跳跃符F001：07}A{结束符0A00}\r\n\r\nD,4,啊{结束符0A00}\r\n\r\n");

    testing::write_file(dir / "rom.bin", Bytes(rom.size(), 0xEE));
    ImportRequest importing;
    importing.preview = true;
    importing.script_text = *exported.payload.text;
    importing.tables.mode = RomMode::both;
    importing.tables.double_table = dir / "double.tbl";
    importing.tables.single_table = dir / "single.tbl";
    importing.tables.double_filter = double_filter;
    importing.tables.data_dir = dir.path();
    importing.rom = dir / "rom.bin";
    EXPECT_EQ(run_check(importing).message, notice_message(u"此文本为合法文本"));
    EXPECT_EQ(run_import(importing).message, notice_message(u"文本导入成功"));
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), rom);
}

}  // namespace
}  // namespace quillmere
