#include "core/commands/entry_moves.hpp"

#include <algorithm>

#include "core/commands/messages.hpp"
#include "core/commands/pointer_commands.hpp"
#include "core/pointers/pointer_value.hpp"

namespace quillmere {

std::optional<FreeBlock> parse_free_block(std::u16string_view text) {
    const std::size_t dash = text.find(u'-');
    if (dash == std::u16string_view::npos) return std::nullopt;
    const auto start = parse_hex32(text.substr(0, dash));
    const auto end = parse_hex32(text.substr(dash + 1));
    if (!start || !end || *end < *start) return std::nullopt;
    return FreeBlock{*start, *end};
}

Expected<EntryMover, Message> EntryMover::make(const RelocationInput& input, std::span<const std::uint8_t> rom) {
    auto pointers = read_pointer_list(input.pointer_list);
    if (!pointers) return unexpected(std::move(pointers.error()));
    std::vector<FreeBlock> blocks;
    for (const std::u16string& text : input.free_blocks) {
        const auto block = parse_free_block(text);
        if (!block) return unexpected(messages::bad_free_block(text));
        blocks.push_back(*block);
    }
    const auto align = parse_decimal32(input.align);
    if (!align || *align == 0) return unexpected(messages::bad_alignment());

    const auto nulls = static_cast<std::size_t>(
        std::count_if(pointers->begin(), pointers->end(), [](const Pointer& p) { return p.skip; }));
    auto relocator = Relocator::make(rom, std::move(*pointers), blocks, *align, {});
    if (!relocator) {
        // The list is read again to name the pointers: a list of a pointer
        // per string is large, and a refusal is rare.
        auto again = read_pointer_list(input.pointer_list);
        if (!again) return unexpected(std::move(again.error()));
        const std::vector<Pointer>& list = *again;
        const RelocationFailure& f = relocator.error();
        switch (f.fault) {
        case RelocationFault::pointer_outside_rom: return unexpected(messages::pointer_outside_rom(list[f.pointer].address));
        case RelocationFault::pointers_overlap:
            return unexpected(messages::pointers_overlap(list[f.pointer].address, list[f.other].address));
        case RelocationFault::block_outside_rom:
            return unexpected(messages::block_outside_rom(blocks[f.block].start, blocks[f.block].end));
        case RelocationFault::block_overlaps_pointer:
            return unexpected(
                messages::block_overlaps_pointer(blocks[f.block].start, blocks[f.block].end, list[f.pointer].address));
        default: break;
        }
        return unexpected(messages::bad_pointer_list());
    }
    return EntryMover(std::move(*relocator), std::move(blocks), nulls);
}

Expected<Done, Message> EntryMover::check(const PlacedEntry& entry) const {
    if (auto block = relocator_.block_over({entry.offset, entry.original_length}))
        return unexpected(messages::block_overlaps_entry(blocks_[*block].start, blocks_[*block].end, entry.address));
    return Done{};
}

Expected<Move, Message> EntryMover::move(const PlacedEntry& entry, std::uint64_t byte_count) {
    auto moved = relocator_.move(entry.offset, byte_count);
    if (!moved) {
        const RelocationFailure& f = moved.error();
        switch (f.fault) {
        case RelocationFault::no_pointer:
            return unexpected(messages::no_pointer_to_entry(entry.address, byte_count - entry.original_length));
        case RelocationFault::pointer_too_small:
            return unexpected(messages::pointer_too_small(relocator_.pointers()[f.pointer].address, entry.address));
        default: break;
        }
        return unexpected(messages::no_free_space(entry.address, byte_count));
    }
    for (std::size_t p : moved->pointers) rewritten_[p] = moved->new_offset;
    return std::move(*moved);
}

Expected<Move, Message> EntryMover::follow(const PlacedEntry& tail, std::u16string_view outer, std::uint32_t new_offset,
                                           std::uint64_t byte_count) {
    auto moved = relocator_.follow(tail.offset, new_offset, byte_count);
    if (!moved) {
        if (moved.error().fault == RelocationFault::no_pointer)
            return unexpected(messages::tail_without_pointer(tail.address, outer));
        return unexpected(messages::pointer_too_small(relocator_.pointers()[moved.error().pointer].address, tail.address));
    }
    for (std::size_t p : moved->pointers) rewritten_[p] = moved->new_offset;
    return std::move(*moved);
}

std::map<std::uint32_t, std::vector<std::uint8_t>> EntryMover::pointer_bytes() const {
    std::map<std::uint32_t, std::vector<std::uint8_t>> bytes;
    for (const auto& [index, target] : rewritten_) {
        const Pointer& pointer = relocator_.pointers()[index];
        // move() and follow() refused every target a pointer cannot hold.
        const std::uint32_t value = relocator_.value_for_target(index, target);
        if (!pointer.split) {
            std::vector<std::uint8_t> whole(pointer.size);
            write_value(value, pointer.size, pointer.order, whole.data());
            bytes[pointer.address] = std::move(whole);
            continue;
        }
        write_pointer(pointer, value, [&](std::uint32_t place, std::uint8_t byte) { bytes[place] = {byte}; });
    }
    return bytes;
}

std::u16string EntryMover::describe(const Move& move) const {
    std::vector<std::uint32_t> pointers;
    for (std::size_t index : move.pointers) pointers.push_back(relocator_.pointers()[index].address);
    return messages::move_line(move.old_offset, move.new_offset, move.byte_count, pointers);
}

std::u16string EntryMover::describe_tail(const Move& move, std::u16string_view tail, std::u16string_view outer) const {
    std::vector<std::uint32_t> pointers;
    for (std::size_t index : move.pointers) pointers.push_back(relocator_.pointers()[index].address);
    return messages::tail_move_line(tail, outer, move.new_offset, pointers);
}

}  // namespace quillmere
