// The find command on generated ROMs: each kind of search finds the word
// planted, the table made from the hit exports that word again, and every
// refusal writes nothing.
#include "core/commands/find_command.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "core/commands/export_command.hpp"
#include "core/commands/messages.hpp"
#include "core/encoding/hex.hpp"
#include "core/find/sequence.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using find::ByteOrder;
using find::CodeForm;
using testing::Bytes;

constexpr std::size_t kAt = 0x101;  // an odd place, for the two-byte codes

// Latin text with each group of the order at its own offset.
std::vector<std::uint32_t> latin_codes(std::u16string_view text, std::uint32_t lower, std::uint32_t upper,
                                       std::uint32_t digits) {
    std::vector<std::uint32_t> codes;
    for (char16_t c : text) {
        if (c >= u'a' && c <= u'z') codes.push_back(lower + (c - u'a'));
        if (c >= u'A' && c <= u'Z') codes.push_back(upper + (c - u'A'));
        if (c >= u'0' && c <= u'9') codes.push_back(digits + (c - u'0'));
    }
    return codes;
}

std::vector<std::uint32_t> ordered_codes(std::u16string_view text, const find::Sequence& order, std::uint32_t base) {
    std::vector<std::uint32_t> codes;
    for (char16_t c : text) codes.push_back(base + order.place_of(c)->index);
    return codes;
}

// 512 bytes of FF with the codes planted at kAt.
Bytes rom_with(const std::vector<std::uint32_t>& codes, CodeForm form) {
    Bytes rom(0x200, 0xFF);
    std::size_t at = kAt;
    for (std::uint32_t code : codes) {
        const auto high = static_cast<std::uint8_t>(code >> 8), low = static_cast<std::uint8_t>(code);
        if (form.width == 1)
            rom[at++] = low;
        else if (form.order == ByteOrder::little)
            rom[at++] = low, rom[at++] = high;
        else
            rom[at++] = high, rom[at++] = low;
    }
    return rom;
}

class find_command_test : public ::testing::Test {
protected:
    FindRequest request(FindMode mode, const Bytes& rom) const {
        testing::write_file(dir / "rom.gba", rom);
        FindRequest request;
        request.mode = mode;
        request.rom = dir / "rom.gba";
        return request;
    }

    // The export of `bytes` bytes from kAt (and the one after, which no
    // table reads and which closes the run) through the table made.
    std::u16string export_with_table(CodeForm form, std::size_t bytes) const {
        ExportRequest request;
        request.rom = dir / "rom.gba";
        request.start = to_hex(kAt);
        request.end = to_hex(static_cast<std::uint32_t>(kAt + bytes));
        request.tables.mode = form.width == 1 ? RomMode::single_byte : RomMode::double_byte;
        (form.width == 1 ? request.tables.single_table : request.tables.double_table) = table();
        request.preview = true;
        const auto exported = run_export(request);
        EXPECT_EQ(exported.message, notice_message(u"文本已顺利导出"));
        return exported.payload.text.value_or(u"");
    }

    std::filesystem::path table() const { return dir / "made.tbl"; }

    testing::TempDir dir;
};

TEST_F(find_command_test, each_search_finds_the_word_and_its_table_exports_it_again) {
    const find::Sequence hiragana = find::Sequence::hiragana();
    const find::Sequence font = find::Sequence::from_text(u"勇者之剑魔王城村");
    testing::write_gbk(dir / "font.txt", u"勇者之剑\r\n魔王城村\r\n");
    struct Case {
        const char* name;
        FindMode mode;
        CodeForm form;
        std::u16string text, values, sequence;
        std::vector<std::uint32_t> codes;
        std::u16string map;
    };
    const Case cases[] = {
        {"latin, bytes",
         FindMode::relative,
         {1, ByteOrder::little},
         u"thousand",
         u"",
         u"latin",
         latin_codes(u"thousand", 0x80, 0, 0),
         u"t=93 h=87 o=8E u=94 s=92 a=80 n=8D d=83"},
        {"latin groups, little-endian",
         FindMode::relative,
         {2, ByteOrder::little},
         u"HelloWorld42",
         u"",
         u"latin",
         latin_codes(u"HelloWorld42", 0x0141, 0x0241, 0x0330),
         u"H=4802 e=4501 l=4C01 o=4F01 W=5702 r=5201 d=4401 4=3403 2=3203"},
        {"latin groups, big-endian",
         FindMode::relative,
         {2, ByteOrder::big},
         u"Level42",
         u"",
         u"latin",
         latin_codes(u"Level42", 0x8150, 0x8270, 0x8330),
         u"L=827B e=8154 v=8165 l=815B 4=8334 2=8332"},
        {"kana",
         FindMode::relative,
         {1, ByteOrder::little},
         u"ありがとう",
         u"",
         u"hiragana",
         ordered_codes(u"ありがとう", hiragana, 0x20),
         u"あ=20 り=47 が=4E と=33 う=22"},
        {"a font's own order",
         FindMode::relative,
         {1, ByteOrder::little},
         u"魔王城",
         u"",
         (dir / "font.txt").u16string(),
         ordered_codes(u"魔王城", font, 0x10),
         u"魔=14 王=15 城=16"},
        {"a font in no order",
         FindMode::pattern,
         {2, ByteOrder::little},
         u"人人为我我为人人",
         u"",
         u"",
         {0x1234, 0x1234, 0x0A55, 0x7F00, 0x7F00, 0x0A55, 0x1234, 0x1234},
         u"人=3412 为=550A 我=007F"},
        {"glyph numbers",
         FindMode::values,
         {1, ByteOrder::little},
         u"勇者之剑",
         u"1F,08,*,0D",
         u"",
         {0x5F, 0x48, 0x77, 0x4D},
         u"勇=5F 者=48 之=77 剑=4D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FindRequest find = request(c.mode, rom_with(c.codes, c.form));
        find.form = c.form;
        find.text = c.text;
        find.values = c.values;
        find.sequence = c.sequence;
        const auto listed = run_find(find);
        ASSERT_EQ(listed.message.severity, Severity::notice) << text::to_utf8(listed.message.text);
        // The planted word's line: its place among the lines is the hit.
        const std::u16string address = to_hex(kAt) + u'\t';
        std::size_t hit = 0;
        while (hit < listed.payload.lines.size() && !listed.payload.lines[hit].starts_with(address)) ++hit;
        ASSERT_LT(hit, listed.payload.lines.size());
        const std::u16string& line = listed.payload.lines[hit];
        EXPECT_EQ(line.substr(0, line.rfind(u'\t')), address + c.map);

        find.make_table = table();
        find.hit = hit + 1;
        const auto made = run_find(find);
        EXPECT_EQ(made.message.text, u"共找到" + messages::decimal(listed.payload.total) + u"处；第" +
                                         messages::decimal(hit + 1) + u"处的码表已写入：" + table().u16string());
        const std::size_t bytes = c.codes.size() * static_cast<std::size_t>(c.form.width);
        std::u16string want = to_hex(kAt) + u"," + messages::decimal(bytes) + u"," + c.text + u"\r\n\r\n";
        EXPECT_EQ(export_with_table(c.form, bytes), want);
        std::filesystem::remove(table());
    }
}

TEST_F(find_command_test, the_sample_walk_through_holds) {
    FindRequest find;
    find.rom = std::filesystem::path(QUILLMERE_SAMPLE_DIR) / "sample.gba";
    find.text = u"Quillmere";
    find.make_table = table();
    find.hit = 1;
    const auto found = run_find(find);
    EXPECT_EQ(found.payload.lines,
              std::vector<std::u16string>{u"2D\tQ=51 u=75 i=69 l=6C m=6D e=65 r=72\tQuillmere......................."});
    ExportRequest request;
    request.rom = find.rom;
    request.start = u"10";
    request.end = u"36";
    request.tables.mode = RomMode::single_byte;
    request.tables.single_table = table();
    request.preview = true;
    EXPECT_EQ(run_export(request).payload.text,
              u"10,5,Hello\r\n\r\n17,9,traveller\r\n\r\n22,7,Welcome\r\n\r\n2A,2,to\r\n\r\n2D,9,Quillmere\r\n\r\n");
}

TEST_F(find_command_test, lists_up_to_the_maximum_and_makes_the_table_of_any_hit) {
    // "moon" three times, its letters from 30 on, then from 50 on, then from 30 on again.
    Bytes rom(0x40, 0xFF);
    for (std::uint32_t lower : {0x30u, 0x50u, 0x30u})
        for (std::uint32_t code : latin_codes(u"moon", lower, 0, 0)) rom.push_back(static_cast<std::uint8_t>(code));
    FindRequest find = request(FindMode::relative, rom);
    find.text = u"moon";
    find.max = 1;
    find.make_table = table();
    find.hit = 2;
    const auto result = run_find(find);
    EXPECT_EQ(result.payload.lines, std::vector<std::u16string>{u"40\tm=3C o=3E n=3D\tmoon....moon"});
    EXPECT_EQ(result.payload.total, 3u);
    EXPECT_EQ(result.message,
              notice_message(u"共找到3处，只列出前1处，另有2处未列出；第2处的码表已写入：" + table().u16string()));
    // The second hit's table: a..z from 50, in code order, GBK with CR LF.
    const Bytes written = testing::read_file(table());
    std::u16string expected;
    for (char16_t c = u'a'; c <= u'z'; ++c) expected += to_hex(0x50u + (c - u'a')) + u"=" + c + u"\r\n";
    EXPECT_EQ(written, testing::gbk_bytes(expected));

    find.make_table.clear();
    find.max = 100;
    find.range = u"44-4B";  // the second "moon" ends at 47, the third at 4B
    EXPECT_EQ(run_find(find).payload.total, 2u);
    find.range = u"44-4A";
    EXPECT_EQ(run_find(find).payload.total, 1u);
}

TEST_F(find_command_test, refusals_write_nothing) {
    const Bytes rom = rom_with(latin_codes(u"thousand", 0x80, 0, 0), {1, ByteOrder::little});
    struct Case {
        std::function<void(FindRequest&)> change;
        std::u16string message;
    };
    const std::filesystem::path rom_path = dir / "rom.gba";
    const Case cases[] = {
        {[](FindRequest& r) { r.rom.clear(); }, u"请先选择一个ROM"},
        {[](FindRequest& r) { r.text = u"tr@vel"; }, u"查找文本中的[@]不在字序中"},
        {[](FindRequest& r) { r.text = u"**"; }, u"查找内容至少要有3个不是*的字符或数值"},
        {[](FindRequest& r) { r.text = u""; }, u"查找内容不能为空"},
        {[](FindRequest& r) { r.range = u"100"; }, u"查找范围填写错误：100"},
        {[](FindRequest& r) { r.range = u"120-110"; }, u"查找范围填写错误：120-110"},
        {[](FindRequest& r) { r.range = u"100-200"; }, u"查找范围超出ROM"},
        {[](FindRequest& r) { r.hit = 2; }, u"没有第2处，共找到1处"},
        {[](FindRequest& r) { r.range = u"0-FF", r.hit = 1; }, u"没有第1处，共找到0处"},
        {[](FindRequest& r) { r.sequence = u"no such file.txt"; }, u"无法读取字序文件：no such file.txt"},
        {[&](FindRequest& r) { r.make_table = rom_path; },
         u"输出文件不能覆盖输入文件或另一个输出文件：" + rom_path.u16string()},
        {[](FindRequest& r) { r.mode = FindMode::values, r.values = u"13,7,E,14,12,0,D,3", r.text.clear(); },
         u"没有给出数值对应的字符，无法生成码表"},
        {[](FindRequest& r) { r.mode = FindMode::text; }, u"按码表查找时不生成码表"},
    };
    for (const Case& c : cases) {
        FindRequest find = request(FindMode::relative, rom);
        find.text = u"thousand";
        find.make_table = table();
        find.hit = 1;
        c.change(find);
        const auto result = run_find(find);
        EXPECT_EQ(result.message, error_message(c.message));
        EXPECT_TRUE(result.payload.lines.empty());
        EXPECT_FALSE(std::filesystem::exists(table())) << text::to_utf8(c.message);
        EXPECT_EQ(testing::read_file(rom_path), rom);
    }
}

}  // namespace
}  // namespace quillmere
