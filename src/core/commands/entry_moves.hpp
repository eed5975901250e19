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

    // The pointers to `tail`, a shared tail of `outer`, made to point at
    // `new_offset`, where its `byte_count` bytes now lie.
    [[nodiscard]] Expected<Move, Message> follow(const PlacedEntry& tail, std::u16string_view outer,
                                                 std::uint32_t new_offset, std::uint64_t byte_count);

    // The bytes of every pointer the moves rewrote, by file offset (a
    // pointer rewritten twice keeps its last target; a split pointer gives
    // one byte per place).
    std::map<std::uint32_t, std::vector<std::uint8_t>> pointer_bytes() const;

    // One line for standard output: old offset, new offset, byte count,
    // the pointers rewritten.
    std::u16string describe(const Move& move) const;
    // The same for a tail that followed its outer entry.
    std::u16string describe_tail(const Move& move, std::u16string_view tail, std::u16string_view outer) const;

    // The entries of the list marked to skip.
    std::size_t null_pointers() const { return null_pointers_; }

private:
    EntryMover(Relocator relocator, std::vector<FreeBlock> blocks, std::size_t null_pointers)
        : relocator_(std::move(relocator)), blocks_(std::move(blocks)), null_pointers_(null_pointers) {}

    Relocator relocator_;
    std::vector<FreeBlock> blocks_;
    std::size_t null_pointers_ = 0;
    std::map<std::size_t, std::uint32_t> rewritten_;  // pointer index -> new target
};

}  // namespace quillmere
