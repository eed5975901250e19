#include "core/pointers/relocation.hpp"

#include <algorithm>
#include <limits>

#include "core/pointers/pointer_value.hpp"

namespace quillmere {
namespace {

bool overlaps(std::uint64_t a_begin, std::uint64_t a_end, std::uint64_t b_begin, std::uint64_t b_end) {
    return a_begin < b_end && b_begin < a_end;  // half-open ranges
}

RelocationFailure failure(RelocationFault fault) { return RelocationFailure{fault}; }

// The bytes of one pointer in one piece: all of them, or one place of a
// split pointer.
struct Piece {
    std::uint64_t begin = 0, end = 0;
    std::size_t pointer = 0;
};

template <class Each>
void for_each_piece(const Pointer& pointer, std::size_t index, Each&& each) {
    if (!pointer.split) {
        each(Piece{pointer.address, std::uint64_t{pointer.address} + pointer.size, index});
        return;
    }
    for (std::size_t i = 0; i < pointer.size; ++i) each(Piece{pointer.places[i], std::uint64_t{pointer.places[i]} + 1, index});
}

// Which pointers repeat an earlier one exactly (they count once); two
// different pointers that share a byte are refused. Entries to skip may lie
// outside the ROM; the others may not.
Expected<std::vector<bool>, RelocationFailure> find_repeats(const std::vector<Pointer>& pointers,
                                                            std::uint64_t rom_size) {
    for (std::size_t i = 0; i < pointers.size(); ++i)
        if (!pointers[i].skip && !pointer_in_rom(pointers[i], rom_size)) {
            auto f = failure(RelocationFault::pointer_outside_rom);
            f.pointer = i;
            return unexpected(f);
        }
    std::vector<Piece> pieces;
    pieces.reserve(pointers.size());
    for (std::size_t i = 0; i < pointers.size(); ++i) for_each_piece(pointers[i], i, [&](Piece piece) { pieces.push_back(piece); });
    auto by_begin = [](const Piece& a, const Piece& b) { return a.begin < b.begin; };
    if (!std::is_sorted(pieces.begin(), pieces.end(), by_begin)) std::stable_sort(pieces.begin(), pieces.end(), by_begin);
    std::vector<bool> repeat(pointers.size(), false);
    for (std::size_t k = 1; k < pieces.size(); ++k) {
        if (repeat[pieces[k].pointer]) continue;
        // The nearest earlier piece of a pointer that is kept.
        std::size_t j = k - 1;
        while (j > 0 && repeat[pieces[j].pointer]) --j;
        const Piece& before = pieces[j];
        const Piece& here = pieces[k];
        if (repeat[before.pointer] || before.end <= here.begin || before.pointer == here.pointer) continue;
        if (pointers[before.pointer] == pointers[here.pointer]) {
            repeat[here.pointer] = true;
        } else {
            auto f = failure(RelocationFault::pointers_overlap);
            f.pointer = std::min(before.pointer, here.pointer);
            f.other = std::max(before.pointer, here.pointer);
            return unexpected(f);
        }
    }
    return repeat;
}

std::uint64_t aligned(std::uint64_t at, std::uint32_t align) { return (at + align - 1) / align * align; }

}  // namespace

Expected<Relocator, RelocationFailure> Relocator::make(std::span<const std::uint8_t> rom, std::vector<Pointer> pointers,
                                                       std::span<const FreeBlock> blocks, std::uint32_t align,
                                                       std::span<const EntrySpan> entries) {
    auto repeats = find_repeats(pointers, rom.size());
    if (!repeats) return unexpected(repeats.error());
    // Indices stay those of the list as given, so that messages name the
    // pointers the user wrote.
    Relocator relocator;
    relocator.pointers_ = std::move(pointers);
    relocator.align_ = std::max<std::uint32_t>(align, 1);
    relocator.given_.assign(blocks.begin(), blocks.end());
    relocator.shape_ = RomShape::of(rom);
    const std::vector<Pointer>& list = relocator.pointers_;

    for (std::size_t b = 0; b < blocks.size(); ++b)
        if (blocks[b].end >= rom.size()) {
            auto f = failure(RelocationFault::block_outside_rom);
            f.block = b;
            return unexpected(f);
        }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const std::uint64_t begin = blocks[b].start, end = std::uint64_t{blocks[b].end} + 1;
        for (std::size_t e = 0; e < entries.size(); ++e)
            if (overlaps(begin, end, entries[e].address, entries[e].address + entries[e].length)) {
                auto f = failure(RelocationFault::block_overlaps_entry);
                f.block = b;
                f.entry = e;
                return unexpected(f);
            }
        for (std::size_t p = 0; p < list.size(); ++p) {
            bool over = false;
            for_each_piece(list[p], p, [&](Piece piece) { over = over || overlaps(begin, end, piece.begin, piece.end); });
            if (over) {
                auto f = failure(RelocationFault::block_overlaps_pointer);
                f.block = b;
                f.pointer = p;
                return unexpected(f);
            }
        }
    }

    relocator.values_.assign(list.size(), 0);
    for (std::size_t p = 0; p < list.size(); ++p) {
        if (list[p].skip) continue;
        const std::uint32_t value = read_pointer(rom, list[p]);
        relocator.values_[p] = value;
        if ((*repeats)[p]) continue;
        if (auto target = target_of(list[p], value, relocator.shape_)) relocator.aims_.push_back({*target, p, value});
    }
    std::stable_sort(relocator.aims_.begin(), relocator.aims_.end(),
                     [](const Aim& a, const Aim& b) { return a.target < b.target; });

    // Overlapping or touching blocks are one stretch of free space.
    std::vector<FreeBlock> sorted(blocks.begin(), blocks.end());
    std::sort(sorted.begin(), sorted.end(), [](const FreeBlock& a, const FreeBlock& b) { return a.start < b.start; });
    for (const FreeBlock& block : sorted) {
        const std::uint64_t begin = block.start, end = std::uint64_t{block.end} + 1;
        if (end <= begin) continue;
        if (!relocator.holes_.empty() && begin <= relocator.holes_.back().end)
            relocator.holes_.back().end = std::max(relocator.holes_.back().end, end);
        else
            relocator.holes_.push_back({begin, end});
    }
    return relocator;
}

std::optional<std::size_t> Relocator::block_over(const EntrySpan& entry) const {
    for (std::size_t b = 0; b < given_.size(); ++b)
        if (overlaps(given_[b].start, std::uint64_t{given_[b].end} + 1, entry.address, entry.address + entry.length))
            return b;
    return std::nullopt;
}

bool Relocator::has_pointer_to(std::uint32_t offset) const { return !aims_at(offset).empty(); }

std::vector<const Relocator::Aim*> Relocator::aims_at(std::uint32_t old_offset) const {
    std::vector<const Aim*> found;
    auto first = std::lower_bound(aims_.begin(), aims_.end(), std::uint64_t{old_offset},
                                  [](const Aim& aim, std::uint64_t target) { return aim.target < target; });
    for (auto it = first; it != aims_.end() && it->target == old_offset; ++it) found.push_back(&*it);
    return found;
}

const Relocator::Aim* Relocator::unreachable(const std::vector<const Aim*>& aims, std::uint64_t target,
                                             std::uint64_t byte_count) const {
    for (const Aim* aim : aims) {
        const Pointer& pointer = pointers_[aim->pointer];
        if (!value_for(pointer, target, aim->value, shape_) || !in_one_window(pointer, target, byte_count, shape_))
            return aim;
    }
    return nullptr;
}

std::uint32_t Relocator::value_for_target(std::size_t index, std::uint32_t target) const {
    return value_for(pointers_[index], target, values_[index], shape_).value_or(values_[index]);
}

Expected<Move, RelocationFailure> Relocator::move(std::uint32_t old_offset, std::uint64_t byte_count) {
    Move move{old_offset, 0, byte_count, {}};
    const std::vector<const Aim*> aims = aims_at(old_offset);
    if (aims.empty()) return unexpected(failure(RelocationFault::no_pointer));
    for (const Aim* aim : aims) move.pointers.push_back(aim->pointer);

    // First fit: the front of each hole, or, where a pointer's map cannot
    // reach that place, the start of the next bank inside the hole. A place
    // left unused before an aligned start holds no aligned offset.
    const Aim* blocked = nullptr;
    for (std::size_t h = 0; h < holes_.size(); ++h) {
        std::uint64_t place = aligned(holes_[h].next, align_);
        while (place <= holes_[h].end && byte_count <= holes_[h].end - place) {
            const Aim* bad = unreachable(aims, place, byte_count);
            if (!bad) {
                if (place > holes_[h].next) {
                    // The bytes skipped stay free for smaller entries.
                    holes_.insert(holes_.begin() + static_cast<std::ptrdiff_t>(h), Hole{holes_[h].next, place});
                    ++h;
                }
                holes_[h].next = place + byte_count;
                move.new_offset = static_cast<std::uint32_t>(place);  // inside the ROM
                return move;
            }
            if (!blocked) blocked = bad;
            const std::uint64_t next = window_end(pointers_[bad->pointer].map, place, shape_);
            if (next == std::numeric_limits<std::uint64_t>::max()) break;
            place = aligned(std::max(next, place + 1), align_);
        }
    }
    if (blocked) {
        auto f = failure(RelocationFault::pointer_too_small);
        f.pointer = blocked->pointer;
        return unexpected(f);
    }
    auto f = failure(RelocationFault::no_space);
    f.bytes = byte_count;
    return unexpected(f);
}

Expected<Move, RelocationFailure> Relocator::follow(std::uint32_t old_offset, std::uint32_t new_offset,
                                                    std::uint64_t byte_count) {
    Move move{old_offset, new_offset, byte_count, {}};
    const std::vector<const Aim*> aims = aims_at(old_offset);
    if (aims.empty()) return unexpected(failure(RelocationFault::no_pointer));
    if (const Aim* bad = unreachable(aims, new_offset, byte_count)) {
        auto f = failure(RelocationFault::pointer_too_small);
        f.pointer = bad->pointer;
        return unexpected(f);
    }
    for (const Aim* aim : aims) move.pointers.push_back(aim->pointer);
    return move;
}

void set_pointers(std::span<std::uint8_t> rom, std::span<const Pointer> pointers,
                  std::span<const std::size_t> indices, std::uint32_t target) {
    const RomShape shape = RomShape::of(rom);
    for (std::size_t p : indices) {
        const Pointer& pointer = pointers[p];
        if (auto value = value_for(pointer, target, read_pointer(rom, pointer), shape))
            write_pointer(pointer, *value, [&](std::uint32_t place, std::uint8_t byte) { rom[place] = byte; });
    }
}

}  // namespace quillmere
