// The sifted search against a plain one written from the definition: the
// same places, in every code form, on bytes that make many chance hits.
#include "core/find/shape_scan.hpp"

#include <gtest/gtest.h>

#include <random>

namespace quillmere::find {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every place where each pair of tied slots of a group differs as their
// values do and the names hold, tried one by one.
std::vector<std::size_t> plain_search(const Bytes& rom, const ShapeQuery& query, CodeForm form, Stretch stretch) {
    std::vector<std::size_t> found;
    const std::size_t span = query.slots.size() * static_cast<std::size_t>(form.width);
    for (std::size_t at = stretch.first; at + span <= stretch.last + 1; ++at) {
        bool holds = true;
        for (std::size_t i = 0; i < query.slots.size() && holds; ++i)
            for (std::size_t j = 0; j < i && holds; ++j) {
                const Slot& a = query.slots[i];
                const Slot& b = query.slots[j];
                const std::int64_t ca = code_at(rom.data() + at + i * form.width, form);
                const std::int64_t cb = code_at(rom.data() + at + j * form.width, form);
                if (!a.free && !b.free && a.group == b.group && ca - cb != a.value - b.value) holds = false;
                if (a.character != 0 && b.character != 0 && (a.character == b.character) != (ca == cb)) holds = false;
            }
        if (holds) found.push_back(at);
    }
    return found;
}

// Writes the codes at `at` in the form's byte order.
void plant(Bytes& rom, std::size_t at, const std::vector<std::uint32_t>& codes, CodeForm form) {
    for (std::uint32_t code : codes) {
        if (form.width == 1) {
            rom[at++] = static_cast<std::uint8_t>(code);
            continue;
        }
        const auto high = static_cast<std::uint8_t>(code >> 8), low = static_cast<std::uint8_t>(code);
        rom[at++] = form.order == ByteOrder::little ? low : high;
        rom[at++] = form.order == ByteOrder::little ? high : low;
    }
}

// The codes of a relative query's slots with each group at its own offset.
std::vector<std::uint32_t> codes_of(const ShapeQuery& query, std::initializer_list<std::uint32_t> bases) {
    std::vector<std::uint32_t> codes;
    for (const Slot& slot : query.slots)
        codes.push_back(slot.free ? 0x33 : static_cast<std::uint32_t>(bases.begin()[slot.group] + slot.value));
    return codes;
}

const CodeForm kForms[] = {{1, ByteOrder::little}, {2, ByteOrder::little}, {2, ByteOrder::big}};

// Codes that meet the query: each group from its own offset, a character
// that no value ties by its own code, anything where the slot is free.
std::vector<std::uint32_t> meeting_codes(const ShapeQuery& query, CodeForm form) {
    const std::uint32_t high = form.width == 2 ? 0x4400 : 0;
    std::vector<std::uint32_t> codes;
    for (const Slot& slot : query.slots) {
        if (!slot.free)
            codes.push_back(high + 0x41 + 7 * slot.group + static_cast<std::uint32_t>(slot.value));
        else if (slot.character != 0)
            codes.push_back(high + 0x40 + slot.character % 50);
        else
            codes.push_back(high + 0x45);
    }
    return codes;
}

TEST(shape_scan_test, finds_what_a_plain_search_finds_in_every_form) {
    const Sequence latin = Sequence::latin();
    std::vector<ShapeQuery> queries{
        *relative_query(u"moon", latin), *relative_query(u"Ab*cD9", latin),     *relative_query(u"noon*", latin),
        *values_query(u"1,3,*,2", u""),  *values_query(u"10,*,11,10", u"abca"), *pattern_query(u"abab"),
        *pattern_query(u"x*yzx")};
    for (CodeForm form : kForms) {
        for (const ShapeQuery& query : queries) {
            SCOPED_TRACE(testing::Message()
                         << "width " << form.width << " order " << int(form.order) << " slots " << query.slots.size());
            // Few distinct byte values make chance hits (of one-byte codes);
            // the query is planted at three places as well.
            std::mt19937 random(7);
            Bytes rom(5000);
            for (auto& byte : rom) byte = static_cast<std::uint8_t>(0x40 + random() % 6);
            for (std::size_t at : {std::size_t{3}, std::size_t{1001}, std::size_t{2500}})
                plant(rom, at, meeting_codes(query, form), form);
            const Stretch stretch{3, rom.size() - 2};
            const auto expected = plain_search(rom, query, form, stretch);
            const Hits hits = find_shapes(rom, query, form, stretch, expected.size() + 1);
            EXPECT_EQ(hits.offsets, expected);
            EXPECT_EQ(hits.total, expected.size());
            EXPECT_GE(hits.total, 3u);
            // Two kept, the last one picked wherever it comes.
            const Hits first = find_shapes(rom, query, form, stretch, 2, expected.size());
            EXPECT_EQ(first.total, expected.size());
            EXPECT_EQ(first.offsets, std::vector<std::size_t>(expected.begin(), expected.begin() + 2));
            EXPECT_EQ(first.picked, expected.back());
        }
    }
}

TEST(shape_scan_test, planted_words_are_found_at_odd_places_and_up_to_the_stretch_end) {
    const Sequence latin = Sequence::latin();
    const ShapeQuery query = *relative_query(u"HelloWorld42", latin);
    for (CodeForm form : kForms) {
        SCOPED_TRACE(form.width);
        Bytes rom(4096, 0xFF);
        const std::uint32_t high = form.width == 1 ? 0 : 0x100;
        const auto codes = codes_of(query, {high + 0xC0, high + 0xA0, high + 0x10});
        const std::size_t span = codes.size() * static_cast<std::size_t>(form.width);
        for (std::size_t at : {std::size_t{1}, std::size_t{777}, std::size_t{2049}, rom.size() - span})
            plant(rom, at, codes, form);
        EXPECT_EQ(find_shapes(rom, query, form, {0, rom.size() - 1}, 10).offsets,
                  (std::vector<std::size_t>{1, 777, 2049, rom.size() - span}));
        // A place must lie wholly inside the stretch.
        EXPECT_EQ(find_shapes(rom, query, form, {2, 2049 + span - 1}, 10).offsets,
                  (std::vector<std::size_t>{777, 2049}));
        EXPECT_EQ(find_shapes(rom, query, form, {2, 2049 + span - 2}, 10).offsets, (std::vector<std::size_t>{777}));
    }
}

TEST(shape_scan_test, eight_characters_are_not_found_in_random_bytes) {
    std::mt19937 random(2024);
    Bytes rom(std::size_t{4} << 20);
    for (auto& byte : rom) byte = static_cast<std::uint8_t>(random());
    const ShapeQuery query = *relative_query(u"treasure", Sequence::latin());
    for (CodeForm form : kForms) EXPECT_EQ(find_shapes(rom, query, form, {0, rom.size() - 1}, 100).total, 0u);
}

TEST(shape_scan_test, differences_no_two_codes_have_are_never_met) {
    // 0 and 200 lie 0x200 apart: no two bytes differ so much, two-byte codes can.
    const ShapeQuery query = *values_query(u"0,100,200", u"");
    Bytes rom(64, 0);
    plant(rom, 8, {0x10, 0x110, 0x210}, {2, ByteOrder::big});
    EXPECT_EQ(find_shapes(rom, query, {1, ByteOrder::little}, {0, 63}, 10).total, 0u);
    EXPECT_EQ(find_shapes(rom, query, {2, ByteOrder::big}, {0, 63}, 10).offsets, std::vector<std::size_t>{8});
}

}  // namespace
}  // namespace quillmere::find
