#pragma once
// The message catalogue: every text the tool shows its user, from the core,
// the command line and the window, is spelled here once (in the
// messages_*.cpp beside this file). The modules below the commands return
// causes; the commands turn them into these messages.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/commands/message.hpp"

namespace quillmere {

struct SetupFailure;
struct EntryFailure;
struct LimitBreach;
struct WidthsFailure;
struct SheetFailure;
namespace records {
struct RecordRefusal;
}
namespace table_conversion {
struct ConvertFailure;
struct ConvertedTable;
}  // namespace table_conversion

namespace messages {

std::u16string decimal(std::uint64_t value);
// A path as the messages show it, whatever bytes or units the system keeps.
std::u16string path_text(const std::filesystem::path& path);

// Titles of the message boxes.
std::u16string notice_title();  // "提示"
std::u16string error_title();   // "错误"

// ---- shared by several commands
Message choose_rom();
Message choose_script();
Message enter_name();
// Every failure to write a file the user named; it begins with a space.
Message bad_file_name();
Message output_over_rom();
Message rom_unreadable();
Message script_unreadable();
Message cannot_write_file(const std::filesystem::path& path);
// A command asked to write over a file it reads.
Message output_is_input(const std::filesystem::path& path);
// What the front ends say when a command could not finish at all.
Message out_of_memory();
Message unexpected_failure();

// ---- the tables of a command
Message setup_failure(const SetupFailure& failure);

// ---- export
Message exported();
Message export_failed();
Message bad_address();
Message pointer_outside_rom(std::uint32_t pointer);
Message pointer_points_outside(std::uint32_t pointer);
Message stdout_unwritable();

// ---- check and import
Message script_valid();
Message imported();
Message unprocessable(std::u16string_view address);
// A failure while measuring (`textlen`); every cause names the entry.
Message measuring_failure(std::u16string_view address, const EntryFailure& failure);
// A failure while encoding (`text2code`): a missing tag without the entry.
Message encoding_failure(std::u16string_view address, const EntryFailure& failure);
Message excess(std::u16string_view address, std::u16string_view excess_bytes);
Message check_summary(std::size_t entries, std::size_t failing);
Message rom_write_failed();
Message output_is_rom();
Message widths_unreadable();
Message widths_failure(const WidthsFailure& failure);
Message limit_breach(std::u16string_view address, const LimitBreach& breach);

// ---- moving entries
Message bad_free_block(std::u16string_view text);
Message bad_alignment();
Message pointers_overlap(std::uint32_t pointer, std::uint32_t other);
Message block_outside_rom(std::uint32_t start, std::uint32_t end);
Message block_overlaps_pointer(std::uint32_t start, std::uint32_t end, std::uint32_t pointer);
Message block_overlaps_entry(std::uint32_t start, std::uint32_t end, std::u16string_view address);
Message bad_pointer_list();
Message no_pointer_to_entry(std::u16string_view address, std::uint64_t excess_bytes);
Message pointer_too_small(std::uint32_t pointer, std::u16string_view address);
Message no_free_space(std::u16string_view address, std::uint64_t bytes);
// One line for standard output: old offset, new offset, byte count, the
// pointers rewritten.
std::u16string move_line(std::uint32_t from, std::uint32_t to, std::uint64_t bytes,
                         std::span<const std::uint32_t> pointers);
// A shared tail whose pointers follow its outer entry: inner, outer, new offset, the pointers.
std::u16string tail_move_line(std::u16string_view inner, std::u16string_view outer, std::uint32_t to,
                              std::span<const std::uint32_t> pointers);

// ---- entries that share bytes
Message entries_overlap(std::u16string_view address, std::u16string_view other);
Message outer_missing(std::u16string_view inner, std::u16string_view outer);
Message not_a_tail(std::u16string_view inner, std::u16string_view outer);
Message tail_moves_without_pointers(std::u16string_view inner, std::u16string_view outer);
Message tail_without_pointer(std::u16string_view inner, std::u16string_view outer);
// One line for the error stream: the null entries of a pointer list left out.
std::u16string null_pointers_skipped(std::size_t count);

// ---- pointer lists
Message bad_pointer_size();
Message bad_byte_order();
Message bad_base();
Message bad_table_address();
Message bad_pointer_count();
Message bad_stride();
Message stride_too_small();
Message table_outside_rom();
Message tables_overlap();
Message bad_address_map();
Message bad_null_value();
Message bad_min_run();
Message bad_max_stride();
Message split_size_mismatch();
Message pointers_listed(std::size_t count, std::size_t nulls);
// All found; `in_tables` of them in `tables` tables; with `tables_only` only those listed.
Message pointers_found(std::size_t count, std::size_t in_tables, std::size_t tables, bool tables_only);
// The comment line above a table the scan found.
std::u16string found_table_comment(std::uint32_t start, std::uint32_t stride, std::uint32_t count);
std::u16string alone_comment();
std::u16string unreached_warning(std::u16string_view address);
Message pointer_list_written();
Message pointer_list_unwritable();
Message pointer_list_unreadable();
Message bad_pointer_line(std::size_t line);

// ---- the text area
Message text_saved();
Message unsavable_character(std::u16string_view character);
Message translation_loaded();

// ---- records, start-up and shut-down
Message delete_question();
Message modify_question();
Message record_refusal(const records::RecordRefusal& refusal);
Message filter_lists_not_saved();
Message no_data_dir(const std::filesystem::path& data_dir);
Message records_unreadable();
Message no_such_record(std::u16string_view name);
Message data_dir_in_use(const std::filesystem::path& data_dir);

// ---- a code table for the translation
Message bad_start_code(std::u16string_view text);
Message bad_skip(std::u16string_view text);
Message bad_trail(std::u16string_view text);
Message bad_glyph(std::u16string_view text);
Message bad_columns(int columns);
Message outputs_clash(const std::filesystem::path& output);
Message font_unreadable(const std::filesystem::path& font);
Message sheet_failure(const SheetFailure& failure, const std::filesystem::path& font, std::u16string_view glyph);
Message sheet_without_characters();
Message sheet_too_large();
Message not_in_gbk(std::u16string_view character);
Message codes_exhausted(std::size_t missing);
Message charset_summary(std::size_t kept, std::size_t added, bool with_game_table, std::size_t unused_old);

// ---- converting other tools' tables
Message four_outputs_needed();
Message output_name_clash(const std::filesystem::path& output);
Message source_table_unreadable(const std::filesystem::path& source);
Message conversion_refused(const table_conversion::ConvertFailure& failure);
Message conversion_summary(std::size_t single_lines, std::size_t double_lines, std::size_t filter_lines);
// After a conversion: the lines dropped, counted, and the names the filter
// lists could not keep, one comment line each.
std::vector<std::u16string> conversion_report(const table_conversion::ConvertedTable& converted);

// ---- the command line
Message filter_file_unreadable(std::u16string_view path);
// A message as one line: TITLE + "：" + TEXT.
std::u16string as_line(const Message& message);

// ---- the window
std::u16string rom_file_types();
std::u16string code_table_file_types();
std::u16string translation_file_types();
std::u16string text_file_types();
// What the window shows while a command runs.
std::u16string working_on_export();
std::u16string working_on_check();
std::u16string working_on_import();
std::u16string working_on_save();
std::u16string working_on_load();

}  // namespace messages
}  // namespace quillmere
