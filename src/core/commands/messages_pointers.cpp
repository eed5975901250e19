// The catalogue's texts of pointer lists and of moving entries.
#include "core/commands/messages.hpp"

#include "core/encoding/hex.hpp"

namespace quillmere::messages {
namespace {

Message error(std::u16string_view text) { return error_message(std::u16string(text)); }
Message notice(std::u16string_view text) { return notice_message(std::u16string(text)); }

std::u16string pointer_name(std::uint32_t pointer) { return u"指针" + to_hex(pointer); }
std::u16string block_name(std::uint32_t start, std::uint32_t end) {
    return u"空闲区" + to_hex(start) + u"-" + to_hex(end);
}

}  // namespace

// ---- moving entries

Message bad_free_block(std::u16string_view text) { return error(u"空闲区" + std::u16string(text) + u"填写错误"); }
Message bad_alignment() { return error(u"对齐填写错误"); }
Message pointers_overlap(std::uint32_t pointer, std::uint32_t other) {
    return error(pointer_name(pointer) + u"与" + pointer_name(other) + u"重叠");
}
Message block_outside_rom(std::uint32_t start, std::uint32_t end) { return error(block_name(start, end) + u"超出ROM"); }
Message block_overlaps_pointer(std::uint32_t start, std::uint32_t end, std::uint32_t pointer) {
    return error(block_name(start, end) + u"与" + pointer_name(pointer) + u"重叠");
}
Message block_overlaps_entry(std::uint32_t start, std::uint32_t end, std::u16string_view address) {
    return error(block_name(start, end) + u"与" + std::u16string(address) + u"行重叠");
}
Message bad_pointer_list() { return error(u"指针表填写错误"); }
Message no_pointer_to_entry(std::u16string_view address, std::uint64_t excess_bytes) {
    return error(std::u16string(address) + u"行的文本超出原长 " + decimal(excess_bytes) + u"个字节，且没有指针指向它");
}
Message pointer_too_small(std::uint32_t pointer, std::u16string_view address) {
    return error(pointer_name(pointer) + u"放不下" + std::u16string(address) + u"行的新地址");
}
Message no_free_space(std::u16string_view address, std::uint64_t bytes) {
    return error(u"空闲区不足：" + std::u16string(address) + u"行需要" + decimal(bytes) + u"个字节");
}

std::u16string move_line(std::uint32_t from, std::uint32_t to, std::uint64_t bytes,
                         std::span<const std::uint32_t> pointers) {
    std::u16string line = to_hex(from) + u"移到" + to_hex(to) + u"，" + decimal(bytes) + u"个字节，改写指针";
    for (std::size_t i = 0; i < pointers.size(); ++i) {
        if (i > 0) line += u"、";
        line += to_hex(pointers[i]);
    }
    return line;
}

// ---- pointer lists

Message bad_pointer_size() { return error(u"指针长度只能是2、3或4"); }
Message bad_byte_order() { return error(u"字节序只能是LE或BE"); }
Message bad_base() { return error(u"基址填写错误"); }
Message bad_table_address() { return error(u"指针表地址填写错误"); }
Message bad_pointer_count() { return error(u"指针个数填写错误"); }
Message bad_stride() { return error(u"指针间距填写错误"); }
Message stride_too_small() { return error(u"指针间距不能小于指针长度"); }
Message table_outside_rom() { return error(u"指针表超出ROM"); }
Message pointers_listed(std::size_t count) { return notice(u"共列出" + decimal(count) + u"个指针"); }
Message pointers_found(std::size_t count) { return notice(u"共找到" + decimal(count) + u"个指针"); }
std::u16string unreached_warning(std::u16string_view address) {
    return u"警告：没有指针指向" + std::u16string(address) + u"行";
}
Message pointer_list_written() { return notice(u"指针表已写入"); }
Message pointer_list_unwritable() { return error(u"指针表写入失败"); }
Message pointer_list_unreadable() { return error(u"指针表读取失败"); }
Message bad_pointer_line(std::size_t line) { return error(u"指针表第" + decimal(line) + u"行填写错误"); }

}  // namespace quillmere::messages
