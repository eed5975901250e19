#include "core/commands/entry_moves.hpp"

#include "core/commands/pointer_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/pointers/pointer_value.hpp"

namespace quillmere {
namespace {

std::u16string decimal(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string block_name(const FreeBlock& block) { return to_hex(block.start) + u"-" + to_hex(block.end); }

std::optional<FreeBlock> parse_block(std::u16string_view text) {
    const std::size_t dash = text.find(u'-');
    if (dash == std::u16string_view::npos) return std::nullopt;
    const auto start = parse_hex32(text.substr(0, dash));
    const auto end = parse_hex32(text.substr(dash + 1));
    if (!start || !end || *end < *start) return std::nullopt;
    return FreeBlock{*start, *end};
}

}  // namespace

Expected<EntryMover, Message> EntryMover::make(const RelocationInput& input, std::span<const std::uint8_t> rom) {
    auto pointers = read_pointer_list(input.pointer_list);
    if (!pointers) return unexpected(std::move(pointers.error()));
    std::vector<FreeBlock> blocks;
    for (const std::u16string& text : input.free_blocks) {
        const auto block = parse_block(text);
        if (!block) return unexpected(error_message(u"空闲区" + text + u"填写错误"));
        blocks.push_back(*block);
    }
    const auto align = parse_decimal32(input.align);
    if (!align || *align == 0) return unexpected(error_message(u"对齐填写错误"));

    const std::vector<Pointer> list = *pointers;
    auto relocator = Relocator::make(rom, std::move(*pointers), blocks, *align, {});
    if (!relocator) {
        const RelocationFailure& f = relocator.error();
        auto pointer = [&](std::size_t i) { return u"指针" + to_hex(list[i].address); };
        switch (f.fault) {
        case RelocationFault::pointer_outside_rom: return unexpected(error_message(pointer(f.pointer) + u"超出ROM"));
        case RelocationFault::pointers_overlap:
            return unexpected(error_message(pointer(f.pointer) + u"与" + pointer(f.other) + u"重叠"));
        case RelocationFault::block_outside_rom:
            return unexpected(error_message(u"空闲区" + block_name(blocks[f.block]) + u"超出ROM"));
        case RelocationFault::block_overlaps_pointer:
            return unexpected(error_message(u"空闲区" + block_name(blocks[f.block]) + u"与" + pointer(f.pointer) + u"重叠"));
        default: break;
        }
        return unexpected(error_message(u"指针表填写错误"));
    }
    return EntryMover(std::move(*relocator), std::move(blocks));
}

std::optional<Message> EntryMover::check(const PlacedEntry& entry) const {
    if (auto block = relocator_.block_over({entry.offset, entry.original_length}))
        return error_message(u"空闲区" + block_name(blocks_[*block]) + u"与" + std::u16string(entry.address) + u"行重叠");
    return std::nullopt;
}

Expected<Move, Message> EntryMover::move(const PlacedEntry& entry, std::uint64_t byte_count) {
    auto moved = relocator_.move(entry.offset, byte_count);
    if (!moved) {
        const RelocationFailure& f = moved.error();
        switch (f.fault) {
        case RelocationFault::no_pointer:
            return unexpected(error_message(std::u16string(entry.address) + u"行的文本超出原长 " +
                                            decimal(byte_count - entry.original_length) + u"个字节，且没有指针指向它"));
        case RelocationFault::pointer_too_small:
            return unexpected(error_message(u"指针" + to_hex(relocator_.pointers()[f.pointer].address) + u"放不下" +
                                            std::u16string(entry.address) + u"行的新地址"));
        default: break;
        }
        return unexpected(error_message(u"空闲区不足：" + std::u16string(entry.address) + u"行需要" + decimal(byte_count) + u"个字节"));
    }
    for (std::size_t p : moved->pointers) rewritten_[p] = moved->new_offset;
    return std::move(*moved);
}

std::map<std::uint32_t, std::vector<std::uint8_t>> EntryMover::pointer_bytes() const {
    std::map<std::uint32_t, std::vector<std::uint8_t>> bytes;
    for (const auto& [index, target] : rewritten_) {
        const Pointer& pointer = relocator_.pointers()[index];
        std::vector<std::uint8_t> value(pointer.size);
        // move() refused every target a pointer cannot hold.
        write_value(*value_for(pointer, target), pointer.size, pointer.order, value.data());
        bytes[pointer.address] = std::move(value);
    }
    return bytes;
}

std::u16string EntryMover::describe(const Move& move) const {
    std::u16string line = to_hex(move.old_offset) + u"移到" + to_hex(move.new_offset) + u"，" +
                          decimal(move.byte_count) + u"个字节，改写指针";
    for (std::size_t i = 0; i < move.pointers.size(); ++i) {
        if (i > 0) line += u"、";
        line += to_hex(relocator_.pointers()[move.pointers[i]].address);
    }
    return line;
}

}  // namespace quillmere
