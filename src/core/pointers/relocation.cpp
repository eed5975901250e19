#include "core/pointers/relocation.hpp"

#include <algorithm>
#include <numeric>

#include "core/pointers/pointer_value.hpp"

namespace quillmere {
namespace {

bool overlaps(std::uint64_t a_begin, std::uint64_t a_end, std::uint64_t b_begin, std::uint64_t b_end) {
    return a_begin < b_end && b_begin < a_end;  // half-open ranges
}

RelocationFailure failure(RelocationFault fault) { return RelocationFailure{fault}; }

// Which pointers repeat an earlier one exactly (they count once); two
// different pointers that share a byte are refused.
Expected<std::vector<bool>, RelocationFailure> find_repeats(const std::vector<Pointer>& pointers,
                                                            std::uint64_t rom_size) {
    for (std::size_t i = 0; i < pointers.size(); ++i)
        if (!pointer_in_rom(pointers[i], rom_size)) {
            auto f = failure(RelocationFault::pointer_outside_rom);
            f.pointer = i;
            return unexpected(f);
        }
    std::vector<std::size_t> order(pointers.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto by_address = [&](std::size_t a, std::size_t b) { return pointers[a].address < pointers[b].address; };
    if (!std::is_sorted(order.begin(), order.end(), by_address)) std::stable_sort(order.begin(), order.end(), by_address);
    std::vector<bool> repeat(pointers.size(), false);
    for (std::size_t k = 1; k < order.size(); ++k) {
        // The nearest earlier pointer that is kept.
        std::size_t j = k - 1;
        while (j > 0 && repeat[order[j]]) --j;
        const Pointer& before = pointers[order[j]];
        const Pointer& here = pointers[order[k]];
        if (before == here) {
            repeat[order[k]] = true;
        } else if (std::uint64_t{before.address} + before.size > here.address) {
            auto f = failure(RelocationFault::pointers_overlap);
            f.pointer = std::min(order[j], order[k]);
            f.other = std::max(order[j], order[k]);
            return unexpected(f);
        }
    }
    return repeat;
}

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
        for (std::size_t p = 0; p < list.size(); ++p)
            if (overlaps(begin, end, list[p].address, std::uint64_t{list[p].address} + list[p].size)) {
                auto f = failure(RelocationFault::block_overlaps_pointer);
                f.block = b;
                f.pointer = p;
                return unexpected(f);
            }
    }

    for (std::size_t p = 0; p < list.size(); ++p) {
        if ((*repeats)[p]) continue;
        if (auto target = target_of(read_pointer(rom, list[p]), list[p].base)) relocator.aims_.push_back({*target, p});
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

bool Relocator::has_pointer_to(std::uint32_t offset) const {
    auto found = std::lower_bound(aims_.begin(), aims_.end(), offset,
                                  [](const Aim& aim, std::uint32_t target) { return aim.target < target; });
    return found != aims_.end() && found->target == offset;
}

Expected<Move, RelocationFailure> Relocator::move(std::uint32_t old_offset, std::uint64_t byte_count) {
    Move move{old_offset, 0, byte_count, {}};
    auto first = std::lower_bound(aims_.begin(), aims_.end(), old_offset,
                                  [](const Aim& aim, std::uint32_t target) { return aim.target < target; });
    for (auto it = first; it != aims_.end() && it->target == old_offset; ++it) move.pointers.push_back(it->pointer);
    if (move.pointers.empty()) return unexpected(failure(RelocationFault::no_pointer));

    // A place left unused before an aligned start holds no aligned offset,
    // so first fit only ever looks at the front of each hole.
    Hole* chosen = nullptr;
    std::uint64_t place = 0;
    for (Hole& hole : holes_) {
        place = (hole.next + align_ - 1) / align_ * align_;
        if (place <= hole.end && byte_count <= hole.end - place) {
            chosen = &hole;
            break;
        }
    }
    if (!chosen) {
        auto f = failure(RelocationFault::no_space);
        f.bytes = byte_count;
        return unexpected(f);
    }
    move.new_offset = static_cast<std::uint32_t>(place);  // inside the ROM
    for (std::size_t p : move.pointers)
        if (!value_for(pointers_[p], move.new_offset)) {
            auto f = failure(RelocationFault::pointer_too_small);
            f.pointer = p;
            return unexpected(f);
        }
    chosen->next = place + byte_count;
    return move;
}

void set_pointers(std::span<std::uint8_t> rom, std::span<const Pointer> pointers,
                  std::span<const std::size_t> indices, std::uint32_t target) {
    for (std::size_t p : indices) {
        const Pointer& pointer = pointers[p];
        if (auto value = value_for(pointer, target))
            write_value(*value, pointer.size, pointer.order, rom.data() + pointer.address);
    }
}

}  // namespace quillmere
