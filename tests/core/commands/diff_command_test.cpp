// The diff's reading of a script: the records it names by their addresses
// over their original lengths, whatever the script's encoding, and the
// lines it cannot read.
#include <gtest/gtest.h>

#include "core/commands/patch_command.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::Bytes;

TEST(diff_command_test, records_explain_changes_over_their_original_length) {
    testing::TempDir dir;
    Bytes original(0x40, 0xEE), modified = original;
    modified[0x10] = modified[0x13] = 1;  // inside the record at 10 (4 bytes)
    modified[0x14] = 1;                   // just past it
    testing::write_file(dir / "a.bin", original);
    testing::write_file(dir / "b.bin", modified);

    struct Case {
        const char* what;
        std::string_view script;
        std::vector<std::u16string> changes;  // the lines after the checksums
        std::u16string message;
    };
    const Case cases[] = {
        {"code page 936", "10,4,\xC4\xE3\xBA\xC3\r\n\r\n", {u"10-13 2字节：10行", u"未说明的改动：14-14"}, u"1处改动未说明"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" "10,5,\xE4\xBD\xA0\r\n", {u"10-14 3字节：10行"}, u"共1处改动，3字节"},
        {"a length that is no number covers nothing", "10,x,A\r\n",
         {u"未说明的改动：10-10", u"未说明的改动：13-14"}, u"2处改动未说明"},
        {"an address that is not hexadecimal", "10,4,A\r\n\r\nZZ,1,B\r\n", {}, u"ZZ行文本处理错误"},
        {"a line without a comma, named by the record before it", "10,4,A\r\n\r\n12\r\n", {}, u"10行文本处理错误"},
    };
    for (const Case& c : cases) {
        testing::write_file(dir / "script.txt", c.script);
        DiffRequest request;
        request.original = dir / "a.bin";
        request.modified = dir / "b.bin";
        request.script = dir / "script.txt";
        const auto result = run_diff(request);
        EXPECT_EQ(result.message.text, c.message) << c.what;
        if (c.changes.empty()) {
            EXPECT_TRUE(result.payload.lines.empty()) << c.what;
            continue;
        }
        ASSERT_GE(result.payload.lines.size(), 2u) << c.what;
        EXPECT_EQ(std::vector<std::u16string>(result.payload.lines.begin() + 2, result.payload.lines.end()), c.changes)
            << c.what;
    }
}

}  // namespace
}  // namespace quillmere
