#include "core/layout/box_limits.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using Kind = LimitBreach::Kind;

// A B C single-byte, 啊 and the two-character value "th" double-byte.
const std::vector<TableLine> kSingle{{u"41", u"A"}, {u"42", u"B"}, {u"43", u"C"}};
const std::vector<TableLine> kDouble{{u"8140", u"啊"}, {u"8141", u"th"}};

TEST(box_limits_test, each_limit_at_below_and_over_its_bound_with_tokens_counting_nothing) {
    const ReverseTables tables(kDouble, kSingle);
    const std::vector<std::u16string> width_lines{u"41=6", u"42=8", u"43=7", u"8140=12", u"8141=10"};
    const CodeWidths widths = *CodeWidths::parse(width_lines, std::nullopt, tables);
    auto limits = [&](std::optional<std::int64_t> chars, std::optional<std::int64_t> lines,
                      std::optional<std::int64_t> pixels) {
        return BoxLimits{u"{br}", u"{pg}", chars, lines, pixels, &widths};
    };
    struct Case {
        std::u16string text;
        BoxLimits limits;
        std::optional<LimitBreach> breach;
    };
    const Case cases[] = {
        {u"AB", limits(3, {}, {}), {}},
        {u"ABC", limits(3, {}, {}), {}},
        {u"ABCA", limits(3, {}, {}), LimitBreach{Kind::chars, 1, 4, 3}},
        {u"AB{br}ABCA{br}A", limits(3, {}, {}), LimitBreach{Kind::chars, 2, 4, 3}},
        {u"A{名}{结束符00}{跳跃符F0：0102}{$90}BC", limits(3, {}, {}), {}},
        {u"A啊th", limits(3, {}, {}), LimitBreach{Kind::chars, 1, 4, 3}},
        {u"ABC{pg}ABCA", limits(3, {}, {}), LimitBreach{Kind::chars, 2, 4, 3}},
        {u"A", limits({}, 2, {}), {}},
        {u"A{br}B", limits({}, 2, {}), {}},
        {u"A{br}B{br}C", limits({}, 2, {}), LimitBreach{Kind::lines, 3, 3, 2}},
        {u"A{br}B{pg}C{br}A", limits({}, 2, {}), {}},
        {u"A{pg}B{br}C{br}A{br}B", limits({}, 2, {}), LimitBreach{Kind::lines, 4, 4, 2}},
        {u"AAB", limits({}, {}, 20), {}},
        {u"AB", limits({}, {}, 20), {}},
        {u"AABA", limits({}, {}, 20), LimitBreach{Kind::pixels, 1, 26, 20}},
        {u"啊{结束符00}{名}A", limits({}, {}, 18), {}},
        {u"AA{br}啊th", limits({}, {}, 20), LimitBreach{Kind::pixels, 2, 22, 20}},
        // The earliest line is reported, whatever the limit.
        {u"AA{br}B", limits(1, 1, {}), LimitBreach{Kind::chars, 1, 2, 1}},
        {u"A{br}B{br}C{br}AAA", limits(2, 2, {}), LimitBreach{Kind::lines, 3, 4, 2}},
        // Without a line-break tag the text is one line.
        {u"A{br}B{br}C", BoxLimits{u"", u"", {}, 1, {}, nullptr}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(check_box_limits(c.text, tables, c.limits), c.breach) << text::to_utf8(c.text);
}

TEST(box_limits_test, every_code_needs_a_width_unless_a_default_is_given) {
    const ReverseTables tables(kDouble, kSingle);
    const std::vector<std::u16string> partial{u"41=6", u"", u"8140=12"};
    EXPECT_EQ(CodeWidths::parse(partial, std::nullopt, tables).error(),
              (WidthsFailure{WidthsFailure::Kind::missing_code, u"42"}));
    auto with_default = CodeWidths::parse(partial, 5, tables);
    ASSERT_TRUE(with_default.has_value());
    EXPECT_EQ(with_default->width(CodeBytes{{0x41, 0}, 1}), 6);
    EXPECT_EQ(with_default->width(CodeBytes{{0x81, 0x41}, 2}), 5);
    for (std::u16string bad : {u"41", u"41=", u"41=x", u"G1=3", u"10000=3", u"41=-1"}) {
        const std::vector<std::u16string> lines{bad};
        EXPECT_EQ(CodeWidths::parse(lines, 5, tables).error(), (WidthsFailure{WidthsFailure::Kind::bad_line, bad}));
    }
}

}  // namespace
}  // namespace quillmere
