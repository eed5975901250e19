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

std::u16string tail_move_line(std::u16string_view inner, std::u16string_view outer, std::uint32_t to,
                              std::span<const std::uint32_t> pointers) {
    std::u16string line = std::u16string(inner) + u"随" + std::u16string(outer) + u"移到" + to_hex(to) + u"，改写指针";
    for (std::size_t i = 0; i < pointers.size(); ++i) {
        if (i > 0) line += u"、";
        line += to_hex(pointers[i]);
    }
    return line;
}

// ---- entries that share bytes

Message entries_overlap(std::u16string_view address, std::u16string_view other) {
    return error(std::u16string(address) + u"行与" + std::u16string(other) + u"行重叠");
}
Message outer_missing(std::u16string_view inner, std::u16string_view outer) {
    return error(std::u16string(inner) + u"行是" + std::u16string(outer) + u"行的结尾，但文本中没有" +
                 std::u16string(outer) + u"行");
}
Message not_a_tail(std::u16string_view inner, std::u16string_view outer) {
    return error(std::u16string(inner) + u"行不再是" + std::u16string(outer) + u"行的结尾");
}
Message tail_moves_without_pointers(std::u16string_view inner, std::u16string_view outer) {
    return error(std::u16string(inner) + u"行随" + std::u16string(outer) + u"行改变了位置，需要指针表改写它的指针");
}
Message tail_without_pointer(std::u16string_view inner, std::u16string_view outer) {
    return error(std::u16string(inner) + u"行随" + std::u16string(outer) + u"行改变了位置，且没有指针指向它");
}
std::u16string null_pointers_skipped(std::size_t count) { return u"提示：跳过" + decimal(count) + u"个空指针"; }

// ---- pointer lists

Message bad_pointer_size() { return error(u"指针长度只能是2、3或4"); }
Message bad_byte_order() { return error(u"字节序只能是LE或BE"); }
Message bad_base() { return error(u"基址填写错误"); }
Message bad_table_address() { return error(u"指针表地址填写错误"); }
Message bad_pointer_count() { return error(u"指针个数填写错误"); }
Message bad_stride() { return error(u"指针间距填写错误"); }
Message stride_too_small() { return error(u"指针间距不能小于指针长度"); }
Message table_outside_rom() { return error(u"指针表超出ROM"); }
Message tables_overlap() { return error(u"拆分指针表的各部分重叠"); }
Message bad_address_map() { return error(u"地址映射只能是linear、lorom、hirom、gb:N或nes:N"); }
Message bad_null_value() { return error(u"空指针值填写错误"); }
Message bad_min_run() { return error(u"表的最少指针数填写错误"); }
Message bad_max_stride() { return error(u"最大间距填写错误"); }
Message split_size_mismatch() { return error(u"拆分指针表的指针长度须为2（带存储体表时为3）"); }
Message pointers_listed(std::size_t count, std::size_t nulls) {
    std::u16string text = u"共列出" + decimal(count) + u"个指针";
    if (nulls > 0) text += u"，其中" + decimal(nulls) + u"个空指针";
    return notice(text);
}
Message pointers_found(std::size_t count, std::size_t in_tables, std::size_t tables, bool tables_only) {
    std::u16string text = u"共找到" + decimal(count) + u"个指针，" + decimal(in_tables) + u"个在" + decimal(tables) +
                          u"个表中";
    if (tables_only) text += u"，只列出表中的指针";
    return notice(text);
}
std::u16string found_table_comment(std::uint32_t start, std::uint32_t stride, std::uint32_t count) {
    return u"; 表：" + to_hex(start) + u"起，间距" + decimal(stride) + u"，" + decimal(count) + u"个指针";
}
std::u16string alone_comment() { return u"; 单独的指针"; }
std::u16string unreached_warning(std::u16string_view address) {
    return u"警告：没有指针指向" + std::u16string(address) + u"行";
}
Message pointer_list_written() { return notice(u"指针表已写入"); }
Message pointer_list_unwritable() { return error(u"指针表写入失败"); }
Message pointer_list_unreadable() { return error(u"指针表读取失败"); }
Message bad_pointer_line(std::size_t line) { return error(u"指针表第" + decimal(line) + u"行填写错误"); }

}  // namespace quillmere::messages
