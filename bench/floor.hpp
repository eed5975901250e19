#pragma once
// The floor: the simplest streaming dump and load of the benchmark workload,
// written in plain C++ for comparison only. The tool's export, check and
// import are measured against it in the same run.
//
// Dump: the ROM mapped, one flat table lookup per byte or pair giving the
// code's text as GBK bytes, the output written in 1 MiB chunks and synced.
// Load: the export script mapped, one reverse lookup per character (keyed by
// its GBK code), the bytes put into a copy of the ROM in memory, which is
// then written in 1 MiB chunks and synced.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillmere::bench::floor {

// What a code (one byte, or a pair keyed first * 256 + second) reads as.
struct Piece {
    std::uint32_t text = 0;  // offset of its GBK bytes in DumpTables::pool
    std::uint8_t length = 0;
    std::uint8_t span = 0;    // bytes of the code; 0 when nothing reads it
    std::uint8_t params = 0;  // parameter bytes after a jump code
    bool ends = false;        // an end code closes the line
};

struct DumpTables {
    std::vector<Piece> single = std::vector<Piece>(256);
    std::vector<Piece> pair = std::vector<Piece>(65536);
    std::string pool;
};

// The code bytes of a character (its GBK code, one byte or a pair).
struct Code {
    std::uint8_t length = 0;
    std::uint8_t bytes[2] = {0, 0};
};

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct LoadTables {
    std::vector<Code> single = std::vector<Code>(256);
    std::vector<Code> pair = std::vector<Code>(65536);
    std::unordered_map<std::string, Code, StringHash, std::equal_to<>> tags;  // "{name}" -> code
};

// The table files (GBK "CODE=VALUE" lines) and the filter lists ("00=over",
// "01=turn2", "02=name" as the benchmark data writes them).
struct Sources {
    std::filesystem::path single_table, double_table;
    std::string single_filter, double_filter;
};

DumpTables dump_tables(const Sources& sources);
LoadTables load_tables(const Sources& sources);

// The dump of the whole ROM into `out`. False when a file fails.
bool dump(const DumpTables& tables, const std::filesystem::path& rom, const std::filesystem::path& out);

// The script's records written into `image`; the bytes written are counted
// into `written`. False on a character or tag no table holds, or a record
// outside the image.
bool load_into(const LoadTables& tables, std::span<const std::uint8_t> script, std::span<std::uint8_t> image,
               std::size_t& written);

// The load of `script` into a copy of `rom`, written to `out`.
bool load(const LoadTables& tables, const std::filesystem::path& script, const std::filesystem::path& rom,
          const std::filesystem::path& out);

// Reads a whole file (for the checks outside the timed part).
std::vector<std::uint8_t> read_file(const std::filesystem::path& path);

}  // namespace quillmere::bench::floor
