#pragma once
// Moving entries that outgrew their place: an entry longer than its original
// length goes to the first place in the free blocks where it fits (in the
// order the entries come, aligned) and that every pointer to it can reach
// through its map without the text crossing the end of a bank; every pointer
// of the list that points at its old offset is made to point at the new one.
// The old place is left as it was. Entries to skip (null entries) are never
// followed, but their bytes are kept clear of the free blocks. Nothing here
// writes: the plan is complete, and every refusal known, before the caller
// touches the ROM.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/expected.hpp"
#include "core/pointers/address_map.hpp"
#include "core/pointers/pointer_list.hpp"

namespace quillmere {

struct FreeBlock {
    std::uint32_t start = 0, end = 0;  // both included
    friend bool operator==(const FreeBlock&, const FreeBlock&) = default;
};

// Where an entry of the script lies before the import: its offset and its
// original length.
struct EntrySpan {
    std::uint32_t address = 0;
    std::uint64_t length = 0;
};

enum class RelocationFault {
    pointer_outside_rom,     // `pointer`
    pointers_overlap,        // `pointer` and `other`
    block_outside_rom,       // `block`
    block_overlaps_entry,    // `block` and `entry`
    block_overlaps_pointer,  // `block` and `pointer`
    no_pointer,              // the entry to move has no pointer
    no_space,                // no free block holds `bytes`
    pointer_too_small,       // `pointer` cannot hold the new offset, or its map cannot reach it
};

struct RelocationFailure {
    RelocationFault fault = RelocationFault::no_space;
    std::size_t pointer = 0, other = 0;  // indices into the pointer list
    std::size_t block = 0;               // index into the free blocks as given
    std::size_t entry = 0;               // index into the entries as given
    std::uint64_t bytes = 0;             // the bytes an entry needs

    friend bool operator==(const RelocationFailure&, const RelocationFailure&) = default;
};

struct Move {
    std::uint32_t old_offset = 0;
    std::uint32_t new_offset = 0;
    std::uint64_t byte_count = 0;
    std::vector<std::size_t> pointers;  // indices into the pointer list, in list order
};

class Relocator {
public:
    // Checks the pointers and the free blocks against the ROM and the entries
    // (blocks first in the order given, then each block against the entries
    // in script order). Exact repeats of a pointer count once.
    static Expected<Relocator, RelocationFailure> make(std::span<const std::uint8_t> rom, std::vector<Pointer> pointers,
                                                       std::span<const FreeBlock> blocks, std::uint32_t align,
                                                       std::span<const EntrySpan> entries);

    // A place for `byte_count` bytes of the entry at `old_offset`, and the
    // pointers that follow it there. The place is taken for good.
    Expected<Move, RelocationFailure> move(std::uint32_t old_offset, std::uint64_t byte_count);

    // The pointers to `old_offset` made to point at `new_offset`, where
    // `byte_count` bytes of text now lie (a string that shares the tail of
    // one that changed); no free space is taken.
    Expected<Move, RelocationFailure> follow(std::uint32_t old_offset, std::uint32_t new_offset,
                                             std::uint64_t byte_count);

    // The value that makes pointer `index` point at `target` (follow() or
    // move() checked that it fits).
    std::uint32_t value_for_target(std::size_t index, std::uint32_t target) const;

    // The first free block, as given, that overlaps the entry; for callers
    // that meet the entries one by one instead of handing them to make().
    std::optional<std::size_t> block_over(const EntrySpan& entry) const;

    // Whether any pointer of the list points at `offset`.
    bool has_pointer_to(std::uint32_t offset) const;

    const std::vector<Pointer>& pointers() const { return pointers_; }

private:
    struct Hole {
        std::uint64_t next = 0;  // first free byte
        std::uint64_t end = 0;   // one past the last
    };
    struct Aim {
        std::uint64_t target = 0;
        std::size_t pointer = 0;
        std::uint32_t value = 0;  // what the pointer holds now
    };

    // The pointers of `aims` at old_offset, or the failure.
    std::vector<const Aim*> aims_at(std::uint32_t old_offset) const;
    // The first of `aims` whose pointer cannot reach `byte_count` bytes at
    // `target`, or null.
    const Aim* unreachable(const std::vector<const Aim*>& aims, std::uint64_t target, std::uint64_t byte_count) const;

    std::vector<Pointer> pointers_;
    std::vector<Aim> aims_;    // every pointer that points somewhere, by target
    std::vector<Hole> holes_;  // the free blocks merged, in address order
    std::vector<FreeBlock> given_;
    std::vector<std::uint32_t> values_;  // what each pointer of the list holds (0 for one outside the ROM)
    std::uint32_t align_ = 1;
    RomShape shape_;
};

// The ROM with the pointers at `indices` set to point at `target`; the
// caller has made sure each value fits (a pointer that cannot hold it is
// left as it was).
void set_pointers(std::span<std::uint8_t> rom, std::span<const Pointer> pointers,
                  std::span<const std::size_t> indices, std::uint32_t target);

}  // namespace quillmere
