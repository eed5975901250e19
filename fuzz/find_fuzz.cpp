// The searches without tables against a plain search written from their
// definition, and the search through tables against the bytes it claims,
// on arbitrary queries and ROMs. The input is a control byte (search and
// code form), the query (code page 936), FF, then the ROM.

#include <algorithm>

#include "core/find/hit_map.hpp"
#include "core/find/shape_scan.hpp"
#include "core/find/text_search.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;
using namespace quillmere::find;

// Every place where each two tied slots of a group differ as their values
// do and the names hold.
std::vector<std::size_t> plain_search(std::span<const std::uint8_t> rom, const ShapeQuery& query, CodeForm form,
                                      Stretch stretch) {
    std::vector<std::size_t> found;
    const std::size_t span = query.slots.size() * static_cast<std::size_t>(form.width);
    for (std::size_t at = stretch.first; at + span <= stretch.last + 1; ++at) {
        const auto codes = slot_codes(rom, at, query.slots.size(), form);
        bool holds = true;
        for (std::size_t i = 0; i < codes.size() && holds; ++i)
            for (std::size_t j = 0; j < i && holds; ++j) {
                const Slot& a = query.slots[i];
                const Slot& b = query.slots[j];
                if (!a.free && !b.free && a.group == b.group &&
                    std::int64_t{codes[i]} - std::int64_t{codes[j]} != a.value - b.value)
                    holds = false;
                if (a.character != 0 && b.character != 0 && (a.character == b.character) != (codes[i] == codes[j]))
                    holds = false;
            }
        if (holds) found.push_back(at);
    }
    return found;
}

void check_shapes(std::span<const std::uint8_t> rom, const ShapeQuery& query, CodeForm form, const Sequence* fill) {
    if (query.slots.size() > 24 || rom.empty()) return;
    const Stretch stretch{rom.size() / 7, rom.size() - 1};
    const auto expected = plain_search(rom, query, form, stretch);
    const Hits hits = find_shapes(rom, query, form, stretch, 4, expected.size());
    if (hits.total != expected.size()) fuzz::fail("the search and the plain search count differently");
    if (!expected.empty() && hits.picked != expected.back()) fuzz::fail("the place picked is not the last one");
    for (std::size_t i = 0; i < hits.offsets.size(); ++i) {
        if (hits.offsets[i] != expected[i]) fuzz::fail("the search and the plain search find different places");
        const DerivedMap map = derived_map(rom, hits.offsets[i], query, form, fill);
        for (std::size_t k = 1; k < map.characters.size(); ++k)
            if (map.characters[k - 1].first == map.characters[k].first) fuzz::fail("a code given twice in a table");
        static_cast<void>(preview(rom, hits.offsets[i], map));
        static_cast<void>(table_text(map));
    }
}

void check_text(std::span<const std::uint8_t> rom, std::u16string_view text) {
    const std::vector<TableLine> single{{u"41", u"A"}, {u"42", u"B"}, {u"20", u" "}, {u"43", u"AB"}};
    const std::vector<TableLine> pairs{{u"8141", u"A"}, {u"B0A1", u"啊"}, {u"8142", u"B啊"}};
    ScriptTables tables{ReverseTables(pairs, single), FilterLookup{}, !text.empty() && text[0] == u'$'};
    static_cast<void>(tables.filters.add_single_list(std::vector<std::u16string>{u"00=over", u"02=名"}));
    static_cast<void>(tables.filters.add_double_list(std::vector<std::u16string>{u"8002=名"}));
    auto query = text_query(text, pairs, single, tables);
    if (!query || rom.empty()) return;
    const TextHits hits = find_text(rom, *query, {0, rom.size() - 1}, 8);
    for (const TextHit& hit : hits.hits) {
        std::vector<std::uint8_t> bytes;
        for (std::uint32_t index : hit.steps) {
            const auto step = query->bytes(query->step(index));
            bytes.insert(bytes.end(), step.begin(), step.end());
        }
        if (bytes.size() != hit.length || hit.offset + hit.length > rom.size() ||
            !std::equal(bytes.begin(), bytes.end(), rom.begin() + static_cast<std::ptrdiff_t>(hit.offset)))
            fuzz::fail("a text hit whose encoding is not the ROM's bytes");
        static_cast<void>(text_map(*query, hit));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t control = data[0];
    const auto parts = fuzz::parts(fuzz::bytes(data + 1, size - 1), 2);
    const std::u16string query = fuzz::text_of(parts[0]);
    const std::span<const std::uint8_t> rom = parts[1].subspan(0, std::min<std::size_t>(parts[1].size(), 4096));
    const CodeForm form{(control & 1) != 0 ? 2 : 1, (control & 2) != 0 ? ByteOrder::big : ByteOrder::little};
    const Sequence latin = Sequence::latin();
    switch (control >> 2 & 3) {
        case 0:
            if (auto relative = relative_query(query, latin)) check_shapes(rom, *relative, form, &latin);
            break;
        case 1:
            if (auto values = values_query(query, u"")) check_shapes(rom, *values, form, nullptr);
            break;
        case 2:
            if (auto pattern = pattern_query(query)) check_shapes(rom, *pattern, form, nullptr);
            break;
        default: check_text(rom, query); break;
    }
    return 0;
}
