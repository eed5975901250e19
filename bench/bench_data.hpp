#pragma once
// Deterministic data for the benchmarks: a ROM of mixed single-byte and
// double-byte text with end codes, jump codes and tags, and the code tables
// and filter lists that read it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/commands/export_command.hpp"

namespace quillmere::bench {

using Bytes = std::vector<std::uint8_t>;

// Every two-byte code page 936 character of the GB2312 hanzi rows (B0A1 to
// F7FE), about 6800 characters, as "CODE=VALUE" lines with CR LF.
std::u16string double_byte_table_text();
// Printable ASCII 20 to 7E as a single-byte table.
std::u16string single_byte_table_text();
// `lines` lines over the whole two-byte code page 936 range (for load timing).
std::u16string large_table_text(std::size_t lines);

// 00 ends a string, 01 takes two parameter bytes, 02 is the tag {name}.
std::u16string single_byte_filter_text();
// FE01 ends a string, FE02 is the tag {player}.
std::u16string double_byte_filter_text();

// `size` bytes of strings separated by bytes no rule reads.
Bytes make_rom(std::size_t size, std::uint32_t seed = 1);

// The export text with one entry in `every` broken, alternately by a
// character no table holds and by a text longer than its entry.
std::u16string broken_script(std::u16string_view export_text, std::size_t every);

// Names of the files make_bench_data writes.
struct DataFiles {
    std::filesystem::path dir;
    std::filesystem::path rom(std::size_t mebibytes) const { return dir / ("rom_" + std::to_string(mebibytes) + "m.gba"); }
    std::filesystem::path double_table() const { return dir / "double.tbl"; }
    std::filesystem::path single_table() const { return dir / "single.tbl"; }
    std::filesystem::path large_table() const { return dir / "large.tbl"; }
    std::filesystem::path single_filter() const { return dir / "filter1.txt"; }
    std::filesystem::path double_filter() const { return dir / "filter2.txt"; }
    std::filesystem::path script() const { return dir / "script.txt"; }
    std::filesystem::path broken_script() const { return dir / "script_broken.txt"; }
    // The 32 MiB ROM followed by a table of pointers to every record of the
    // script and by free space; the pointer list of that table; the script
    // with every tenth entry one character longer than its place.
    std::filesystem::path pointer_rom() const { return dir / "rom_pointers.gba"; }
    std::filesystem::path pointer_list() const { return dir / "pointers.txt"; }
    std::filesystem::path lengthened_script() const { return dir / "script_lengthened.txt"; }
};

// Writes pointer_rom, pointer_list and lengthened_script from the ROM and its
// export text; the free space is the last `free_bytes` of the new ROM.
bool write_pointer_data(const DataFiles& files, const Bytes& rom, std::u16string_view export_text);
inline constexpr std::uint32_t kPointerBase = 0x8000000;
inline constexpr std::size_t kPointerFreeBytes = std::size_t{8} << 20;

// The export of the whole ROM of `mebibytes`, into the preview.
ExportRequest whole_rom_export(const DataFiles& files, std::size_t mebibytes);

}  // namespace quillmere::bench
