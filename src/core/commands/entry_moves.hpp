#pragma once
// The check's and the import's side of moving entries that outgrow their
// place: the pointer list, the free blocks and the alignment read from the
// request, checked against the ROM and the script, and each move decided
// with the message that refuses it.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.hpp"
#include "core/commands/message.hpp"
#include "core/pointers/relocation.hpp"

namespace quillmere {

// What the command line gives: --pointers, --free (repeatable), --align.
struct RelocationInput {
    std::filesystem::path pointer_list;
    std::vector<std::u16string> free_blocks;  // "START-END", hexadecimal, both included
    std::u16string align = u"1";
};

// A free block as typed: "START-END", hexadecimal, both included.
std::optional<FreeBlock> parse_free_block(std::u16string_view text);

// An entry of the script as the mover sees it.
struct PlacedEntry {
    std::u16string_view address;  // as written in the script, which outlives the mover
    std::uint32_t offset = 0;
    std::uint64_t original_length = 0;
};

class EntryMover {
public:
    // The list, the blocks and the alignment read and checked against the
    // ROM; the message of the first fault.
    [[nodiscard]] static Expected<EntryMover, Message> make(const RelocationInput& input, std::span<const std::uint8_t> rom);

    // Every entry of the script, whether it moves or not: refused when a
    // free block overlaps it.
    [[nodiscard]] Expected<Done, Message> check(const PlacedEntry& entry) const;

    // A new place for an entry that needs `byte_count` bytes, more than its
    // original length; the message when it cannot move.
    [[nodiscard]] Expected<Move, Message> move(const PlacedEntry& entry, std::uint64_t byte_count);

    // The bytes of every pointer the moves rewrote, by pointer offset (a
    // pointer rewritten twice keeps its last target).
    std::map<std::uint32_t, std::vector<std::uint8_t>> pointer_bytes() const;

    // One line for standard output: old offset, new offset, byte count,
    // the pointers rewritten.
    std::u16string describe(const Move& move) const;

private:
    EntryMover(Relocator relocator, std::vector<FreeBlock> blocks)
        : relocator_(std::move(relocator)), blocks_(std::move(blocks)) {}

    Relocator relocator_;
    std::vector<FreeBlock> blocks_;
    std::map<std::size_t, std::uint32_t> rewritten_;  // pointer index -> new target
};

}  // namespace quillmere
