// The exchange as a whole: a translation out to each format and back is the
// translation script byte for byte, which check and import take as it is;
// every refusal names each of its problems and writes nothing.
#include <gtest/gtest.h>

#include "core/commands/exchange_command.hpp"
#include "core/commands/messages.hpp"
#include "core/commands/script_commands.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using exchange::CsvEncoding;
using exchange::Format;
using testing::TempDir;

std::vector<std::u16string> texts(const std::vector<Message>& messages) {
    std::vector<std::u16string> out;
    for (const Message& message : messages) out.push_back(message.text);
    return out;
}

class ExchangeCommand : public ::testing::Test {
protected:
    ExchangeCommand() {
        // Printable ASCII, and a line break inside a text as a code too.
        std::u16string single;
        for (char16_t c = 0x20; c <= 0x7E; ++c) single += hex(c).substr(2) + u"=" + std::u16string(1, c) + u"\r\n";
        testing::write_gbk(dir / "single.tbl", single + u"0B=\n\r\n");
        std::u16string pairs;
        int code = 0x8140;
        for (char16_t c : std::u16string_view(u"你好，旅行者！欢迎。前后空格换行"))
            pairs += hex(code++) + u"=" + std::u16string(1, c) + u"\r\n";
        testing::write_gbk(dir / "double.tbl", pairs);
        testing::write_file(dir / "rom.gba", testing::Bytes(0x200, 0xEE));
    }

    static std::u16string hex(int value) {
        constexpr char16_t kHex[] = u"0123456789ABCDEF";
        return {kHex[(value >> 12) & 0xF], kHex[(value >> 8) & 0xF], kHex[(value >> 4) & 0xF], kHex[value & 0xF]};
    }

    std::filesystem::path script(const char* name, std::u16string_view text) {
        testing::write_gbk(dir / name, text);
        return dir / name;
    }

    ExchangeExportRequest export_request(Format format, const std::filesystem::path& original,
                                         const std::filesystem::path& translation = {}) {
        ExchangeExportRequest request;
        request.script = original;
        request.translation = translation;
        request.format = format;
        request.out = dir / "units";
        return request;
    }

    ExchangeImportRequest import_request(Format format, const std::filesystem::path& original) {
        ExchangeImportRequest request;
        request.from = dir / "units";
        request.format = format;
        request.script = original;
        request.out = dir / "translated.txt";
        return request;
    }

    // The exchange file `units` given as it is.
    CommandResult<ExchangePayload> import_file(Format format, std::u16string_view file, const char* original,
                                               void (*adjust)(ExchangeImportRequest&) = nullptr) {
        testing::write_file(dir / "units", text::to_utf8(file));
        ExchangeImportRequest request = import_request(format, dir / original);
        if (adjust) adjust(request);
        return run_exchange_import(request);
    }

    CheckRequest check_request(const std::filesystem::path& translated) {
        CheckRequest request;
        request.tables.mode = RomMode::both;
        request.tables.single_table = dir / "single.tbl";
        request.tables.double_table = dir / "double.tbl";
        request.tables.single_filter = {u"00=over\r\n0A=换行", true};
        request.tables.hex_bytes = true;
        request.script_file = translated;
        return request;
    }

    TempDir dir;
};

// Commas, quotes, backslashes, {$XX}, a line break inside a text, blanks at
// either end, an empty text.
constexpr std::u16string_view kOriginal =
    u"10,40,Hello, \"traveller\"!{换行}Welcome.{结束符00}\r\n\r\n"
    u"3A,20,C:\\path\\{$FF}\\ \r\n\r\n"
    u"7F,9,a,b,c\r\n\r\n"
    u"90,12,line\nbreak\r\n\r\n"
    u"100,0,\r\n\r\n\r\n";
constexpr std::u16string_view kTranslated =
    u"10,40,你好，\"旅行者\"！{换行}欢迎。{结束符00}\r\n\r\n"
    u"3A,20, 前后 空格 {$FF}\r\n\r\n"
    u"7F,9,a,b,c\r\n\r\n"
    u"90,12,换\n行\r\n\r\n"
    u"100,0,\r\n\r\n\r\n";

TEST_F(ExchangeCommand, a_translation_goes_out_and_comes_back_byte_for_byte) {
    const auto original = script("original.txt", kOriginal);
    const auto translated = script("translation.txt", kTranslated);
    const struct {
        Format format;
        CsvEncoding csv;
    } forms[] = {{Format::po, CsvEncoding::utf8}, {Format::csv, CsvEncoding::utf8}, {Format::csv, CsvEncoding::gbk},
                 {Format::json, CsvEncoding::utf8}};
    for (const auto& form : forms) {
        SCOPED_TRACE(static_cast<int>(form.format));
        std::filesystem::remove(dir / "translated.txt");
        ExchangeExportRequest out = export_request(form.format, original, translated);
        out.csv_encoding = form.csv;
        const auto exported = run_exchange_export(out);
        EXPECT_EQ(exported.message, notice_message(u"已导出5条，其中4条有译文"));
        const auto imported = run_exchange_import(import_request(form.format, original));
        EXPECT_EQ(imported.message, notice_message(u"已写出5条：译文4条，保留原文1条"));
        EXPECT_EQ(testing::read_file(dir / "translated.txt"), testing::read_file(translated));

        // Check and import take it as it is.
        EXPECT_EQ(run_check(check_request(dir / "translated.txt")).message, notice_message(u"此文本为合法文本"));
        ImportRequest import;
        static_cast<CheckRequest&>(import) = check_request(dir / "translated.txt");
        import.rom = dir / "rom.gba";
        import.fill = u"00";
        EXPECT_EQ(run_import(import).message, notice_message(u"文本导入成功"));
    }
    // A script read as UTF-8 (decoded) gives the very file its code page 936
    // bytes (read as they stand) give; bytes the code page does not define
    // are read as the check reads them, as U+FFFD.
    testing::write_file(dir / "original_utf8.txt", text::to_utf8(kOriginal));
    testing::write_file(dir / "translation_utf8.txt", text::to_utf8(kTranslated));
    for (const auto& form : forms) {
        ExchangeExportRequest gbk = export_request(form.format, original, translated);
        gbk.csv_encoding = form.csv;
        ASSERT_FALSE(run_exchange_export(gbk).failed());
        const auto from_bytes = testing::read_file(dir / "units");
        ExchangeExportRequest utf8 = export_request(form.format, dir / "original_utf8.txt", dir / "translation_utf8.txt");
        utf8.csv_encoding = form.csv;
        utf8.tables.encoding = text::Encoding::utf8;
        ASSERT_FALSE(run_exchange_export(utf8).failed());
        EXPECT_EQ(testing::read_file(dir / "units"), from_bytes);
    }
    const std::string bad_bytes = "10,2,a\x81" " b\r\n\r\n";
    testing::write_file(dir / "bad_bytes.txt", bad_bytes);
    ExchangeExportRequest bad = export_request(Format::json, dir / "bad_bytes.txt");
    bad.out = dir / "bad.json";
    ASSERT_FALSE(run_exchange_export(bad).failed());
    const auto json = testing::read_file(dir / "bad.json");
    const std::string decoded = text::to_utf8(text::decode_gbk(testing::bytes_of(bad_bytes.substr(5, 4))).text);
    EXPECT_NE(decoded, "a\x81" " b");
    EXPECT_NE(std::string(json.begin(), json.end()).find("\"original\": \"" + decoded + "\""), std::string::npos);

    // Written as UTF-8 instead, it is the same text.
    ExchangeImportRequest utf8 = import_request(Format::json, original);
    utf8.encoding = text::Encoding::gbk;
    ASSERT_FALSE(run_exchange_import(utf8).failed());
    utf8.encoding = text::Encoding::utf8;
    utf8.script = dir / "original_utf8.txt";
    ASSERT_FALSE(run_exchange_import(utf8).failed());
    EXPECT_EQ(testing::read_file(dir / "translated.txt"), testing::bytes_of(text::to_utf8(kTranslated)));
}

constexpr std::u16string_view kSmall = u"10,4,ab\r\n\r\n20,4,cd\r\n\r\n30,4,ef\r\n\r\n\r\n";

TEST_F(ExchangeCommand, every_problem_of_a_translated_file_is_listed_and_nothing_is_written) {
    script("small.txt", kSmall);
    const struct {
        const char* what;
        Format format;
        std::u16string file;
        std::vector<std::u16string> problems;
        void (*adjust)(ExchangeImportRequest&) = nullptr;
    } cases[] = {
        {"PO: unknown key, twice, changed source, malformed line, in file order", Format::po,
         u"msgctxt \"99\"\nmsgid \"ab\"\nmsgstr \"x\"\n\nmsgctxt \"10\"\nmsgid \"ab\"\nmsgstr \"x\"\n\nmsgctxt \"10\"\n"
         u"msgid \"ab\"\nmsgstr \"y\"\n\nmsgid bad\n\nmsgctxt \"20\"\nmsgid \"cX\"\nmsgstr \"z\"\n",
         {u"99不在原文中", u"10出现了两次", u"第13行格式错误", u"20的原文已改变"}},
        {"CSV: a row with too few fields", Format::csv, u"address,source,target\r\n10,ab,x\r\n20,cd\r\n",
         {u"第3行格式错误"}},
        {"JSON: a character GBK cannot hold, a carriage return", Format::json,
         u"[{\"key\":\"10\",\"translation\":\"𠀀\"},{\"key\":\"20\",\"translation\":\"a\\r\\nb\"}]",
         {u"20的译文中有回车符，会把记录断开", u"10中有无法保存为GBK的字符[𠀀]"}},
        {"every record left untranslated, with --require-all", Format::po,
         u"#, fuzzy\nmsgctxt \"10\"\nmsgid \"ab\"\nmsgstr \"x\"\n\nmsgctxt \"20\"\nmsgid \"cd\"\nmsgstr \"y\"\n",
         {u"10未翻译", u"30未翻译"}, [](ExchangeImportRequest& r) { r.require_all = true; }},
        {"a key that differs in its case", Format::json, u"[{\"key\":\"1e\"}]", {u"1e不在原文中"}},
        {"a key holding a line end is shown on one line", Format::csv, u"address,target\r\n\"1\n0\",x\r\n",
         {u"1\\n0不在原文中"}},
    };
    for (const auto& c : cases) {
        const auto result = import_file(c.format, c.file, "small.txt", c.adjust);
        EXPECT_EQ(texts(result.payload.problems), c.problems) << c.what;
        EXPECT_EQ(result.message, error_message(u"共" + messages::decimal(c.problems.size()) + u"处问题")) << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir / "translated.txt")) << c.what;
    }
    // A refusal found while writing leaves the file there as it was, and no
    // temporary file beside it.
    testing::write_file(dir / "translated.txt", std::string_view("old"));
    EXPECT_TRUE(import_file(Format::json, u"[{\"key\":\"30\",\"translation\":\"𠀀\"}]", "small.txt").failed());
    EXPECT_EQ(testing::read_file(dir / "translated.txt"), testing::bytes_of("old"));
    std::filesystem::remove(dir / "translated.txt");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
    // Without GBK the same character is written.
    EXPECT_FALSE(import_file(Format::json, u"[{\"key\":\"10\",\"translation\":\"𠀀\"}]", "small.txt",
                             [](ExchangeImportRequest& r) { r.encoding = text::Encoding::utf8; })
                     .failed());
}

TEST_F(ExchangeCommand, fuzzy_entries_count_as_untranslated_unless_used) {
    script("small.txt", kSmall);
    const std::u16string po = u"#, fuzzy\nmsgctxt \"20\"\nmsgid \"cd\"\nmsgstr \"猜\"\n";
    ASSERT_FALSE(import_file(Format::po, po, "small.txt").failed());
    EXPECT_EQ(testing::read_file(dir / "translated.txt"), testing::gbk_bytes(kSmall));
    ASSERT_FALSE(import_file(Format::po, po, "small.txt", [](ExchangeImportRequest& r) { r.use_fuzzy = true; }).failed());
    EXPECT_EQ(testing::read_file(dir / "translated.txt"),
              testing::gbk_bytes(u"10,4,ab\r\n\r\n20,4,猜\r\n\r\n30,4,ef\r\n\r\n\r\n"));
}

TEST_F(ExchangeCommand, scripts_that_cannot_go_there_and_back_are_refused) {
    script("small.txt", kSmall);
    const auto bad_original = script("bad.txt", u"10,4,ab\r\n\r\n10,4,cd\r\n\r\n30\r\n\r\n");
    const auto translation = script("tr.txt", u"10,4,x\r\n\r\n99,4,y\r\n\r\n10,4,z\r\n\r\n");
    auto result = run_exchange_export(export_request(Format::po, bad_original));
    EXPECT_EQ(texts(result.payload.problems), (std::vector<std::u16string>{u"原文中10行文本处理错误", u"原文中10出现了两次"}));
    result = run_exchange_export(export_request(Format::po, dir / "small.txt", translation));
    EXPECT_EQ(texts(result.payload.problems), (std::vector<std::u16string>{u"10出现了两次", u"99不在原文中"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "units"));
    // A script read as UTF-8 may hold what a GBK spreadsheet cannot.
    testing::write_file(dir / "utf8.txt", text::to_utf8(u"10,4,𠀀\r\n\r\n"));
    ExchangeExportRequest gbk_csv = export_request(Format::csv, dir / "utf8.txt");
    gbk_csv.tables.encoding = text::Encoding::utf8;
    gbk_csv.csv_encoding = CsvEncoding::gbk;
    testing::write_file(dir / "utf8.txt", text::to_utf8(u"10,4,a\r\n\r\n20,4,𠀀\r\n\r\n30,4,c\r\n\r\n"));
    EXPECT_EQ(texts(run_exchange_export(gbk_csv).payload.problems), std::vector<std::u16string>{u"20中有无法保存为GBK的字符[𠀀]"});
    EXPECT_FALSE(std::filesystem::exists(dir / "units"));
    testing::write_file(dir / "units", std::string_view("old"));
    EXPECT_TRUE(run_exchange_export(gbk_csv).failed());
    EXPECT_EQ(testing::read_file(dir / "units"), testing::bytes_of("old"));
    std::filesystem::remove(dir / "units");

    // Never over a file being read.
    ExchangeExportRequest over = export_request(Format::po, dir / "small.txt");
    over.out = dir / "small.txt";
    EXPECT_EQ(run_exchange_export(over).message.text, u"不能把结果写入正在读取的文件：" + over.out.u16string());
    ExchangeImportRequest back = import_request(Format::po, dir / "small.txt");
    back.out = back.from;
    EXPECT_TRUE(run_exchange_import(back).failed());
    back.out = back.script;
    EXPECT_TRUE(run_exchange_import(back).failed());
    EXPECT_EQ(testing::read_file(dir / "small.txt"), testing::gbk_bytes(kSmall));
    // Files that cannot be read.
    EXPECT_EQ(run_exchange_export(export_request(Format::po, dir / "none.txt")).message.text,
              u"无法读取原文：" + (dir / "none.txt").u16string());
    EXPECT_EQ(run_exchange_import(import_request(Format::po, dir / "small.txt")).message.text,
              u"无法读取交换文件：" + (dir / "units").u16string());
    // A pixel limit is stated only with the tables the check reads it by.
    ExchangeExportRequest pixels = export_request(Format::po, dir / "small.txt");
    pixels.limits.max_width = 96;
    EXPECT_EQ(run_exchange_export(pixels).message.text, u"请先选择一个双字节码表");
}

TEST_F(ExchangeCommand, notes_carry_the_byte_count_and_the_limits) {
    script("small.txt", u"10,4,ab\r\n\r\n");
    ExchangeExportRequest request = export_request(Format::json, dir / "small.txt");
    request.limits.max_chars = 20;
    request.limits.max_lines = 3;
    request.limits.line_break = u"换行";
    request.limits.page_break = u"换页";
    ASSERT_FALSE(run_exchange_export(request).failed());
    EXPECT_EQ(testing::read_file(dir / "units"),
              testing::bytes_of(text::to_utf8(u"[\n  {\n    \"key\": \"10\",\n    \"original\": \"ab\",\n    "
                                              u"\"translation\": \"\",\n    \"context\": "
                                              u"\"长度：4字节；每行最多20字；每框最多3行；换行：{换行}；换框：{换页}\"\n  }\n]\n")));
}

}  // namespace
}  // namespace quillmere
