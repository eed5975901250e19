// The pointer list parser on arbitrary text, and what the tool then does with
// the pointers of a list that parses: scan for them and plan moves over a
// ROM made of the rest of the input.
// The input is the list, then FF, then the ROM.

#include <set>

#include "core/pointers/pointer_list.hpp"
#include "core/pointers/pointer_scan.hpp"
#include "core/pointers/pointer_value.hpp"
#include "core/pointers/relocation.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

void check_list(const std::u16string& text) {
    auto list = parse_pointer_list(text);
    if (!list) {
        std::size_t lines = 1;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) ++lines;
        if (list.error().line == 0 || list.error().line > lines) fuzz::fail("bad line number out of range");
        return;
    }
    for (const Pointer& p : *list)
        if (p.size < 2 || p.size > 4) fuzz::fail("pointer size outside 2-4");
    auto again = parse_pointer_list(format_pointer_list(*list));
    if (!again || *again != *list) fuzz::fail("a written list does not read back the same");
}

void use_pointers(const std::vector<Pointer>& pointers, std::span<const std::uint8_t> rom) {
    if (pointers.empty() || pointers.size() > 64) return;
    // Scan for the targets of the list in its first pointer's form: what
    // is found points at one of them.
    const RomShape shape = RomShape::of(rom);
    std::vector<std::uint32_t> targets;
    for (const Pointer& p : pointers)
        if (pointer_in_rom(p, rom.size()))
            if (auto t = target_of(p, read_pointer(rom, p), shape); t && *t <= 0xFFFFFFFF)
                targets.push_back(static_cast<std::uint32_t>(*t));
    const Pointer& form = pointers.front();
    const std::uint32_t align = 1 + pointers.size() % 4;
    const ScanResult found = scan_pointers(rom, targets, ScanLayout{form.size, form.order, form.base, align, form.map});
    const std::set<std::uint64_t> wanted(targets.begin(), targets.end());
    std::vector<std::uint64_t> aims;
    for (const Pointer& p : found.pointers) {
        if (p.address % align != 0 || !pointer_in_rom(p, rom.size())) fuzz::fail("scan found a misplaced pointer");
        auto t = target_of(p, read_pointer(rom, p), shape);
        if (!t || !wanted.contains(*t)) fuzz::fail("scan found a pointer to nothing asked for");
        aims.push_back(t.value_or(0));
    }
    // Every place found is in one table or alone, never both.
    const Ranked ranked = rank_pointers(found.pointers, aims, RankRules{2 + static_cast<std::uint32_t>(pointers.size() % 3), 8});
    std::set<std::uint32_t> placed;
    for (const FoundTable& table : ranked.tables)
        for (std::uint32_t k = 0; k < table.count; ++k)
            if (!placed.insert(table.start + k * table.stride).second) fuzz::fail("a place in two tables");
    for (std::size_t index : ranked.alone)
        if (!placed.insert(found.pointers[index].address).second) fuzz::fail("a place both alone and in a table");
    if (placed.size() != found.pointers.size()) fuzz::fail("a place found is neither in a table nor alone");

    // Moves into the second half of the ROM land aligned inside it and never
    // on each other.
    if (rom.size() < 2) return;
    const FreeBlock block{static_cast<std::uint32_t>(rom.size() / 2), static_cast<std::uint32_t>(rom.size() - 1)};
    auto relocator = Relocator::make(rom, pointers, std::span<const FreeBlock>(&block, 1), align, {});
    if (!relocator) return;
    std::uint64_t used_to = block.start;
    for (std::uint32_t target : targets) {
        auto move = relocator->move(target, 1 + target % 7);
        if (!move) continue;
        if (move->new_offset % align != 0 || move->new_offset < used_to ||
            move->new_offset + move->byte_count > std::uint64_t{block.end} + 1)
            fuzz::fail("a move landed outside its free space or on another");
        used_to = move->new_offset + move->byte_count;
        for (std::size_t p : move->pointers)
            if (!value_for(pointers[p], move->new_offset, read_pointer(rom, pointers[p]), shape))
                fuzz::fail("a move its pointers cannot hold");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzz::parts(fuzz::bytes(data, size), 2);
    const std::u16string text = fuzz::text_of(parts[0]);
    check_list(text);
    if (auto list = parse_pointer_list(text)) use_pointers(*list, parts[1]);
    return 0;
}
