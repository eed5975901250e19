#include "core/text/lines.hpp"

#include <gtest/gtest.h>

namespace quillmere::text {
namespace {

using Lines = std::vector<std::u16string>;

TEST(lines_test, splits_at_crlf_and_lone_cr_but_not_lone_lf) {
    struct Case {
        std::u16string text;
        Lines lines;
    };
    const Case cases[] = {
        {u"", {}},
        {u"A", {u"A"}},
        {u"A\r\n", {u"A"}},
        {u"A\r\nB", {u"A", u"B"}},
        {u"A\r\n\r\nB\r\n", {u"A", u"", u"B"}},
        {u"A\rB", {u"A", u"B"}},
        {u"A\nB\r\n", {u"A\nB"}},
        {u"\r\n", {u""}},
        {u"\r\n\r\n", {u"", u""}},
        {u"A\r\r\nB", {u"A", u"", u"B"}},
        {u"\n", {u"\n"}},
    };
    for (const auto& c : cases) EXPECT_EQ(split_lines(c.text), c.lines);
}

}  // namespace
}  // namespace quillmere::text
