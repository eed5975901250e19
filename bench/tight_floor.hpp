#pragma once
// The tight floor: the simplest program a performance engineer would write
// for exactly the benchmark's workload, each doing the same durable work as
// the tool and checked to give the same bytes.
//
// Scan (the check's work): the script mapped, one pass over it; each
// character's one or two bytes index a 64 Ki-entry table of code lengths
// directly; "{...}" tokens by a small switch; every record's byte count
// compared with its LENGTH.
// Load (the import's work): the same pass writing each record's bytes
// through a shared mapping of the ROM, synced before it returns.
// Dump (the export's work): the floor's dump written in 1 MiB chunks to a
// temporary file that is synced, renamed over the output, and its folder
// synced.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "floor.hpp"

namespace quillmere::bench::tight {

struct Tables {
    // By a character's code page 936 code (a byte below 80, or lead << 8 |
    // trail): its code bytes in the ROM and their count in bits 16-17; 0
    // when no table holds it.
    std::vector<std::uint32_t> codes = std::vector<std::uint32_t>(65536);
    // The filter lists' tags: "{name}" and the code it stands for.
    struct Tag {
        std::string token;
        std::uint32_t code = 0;
    };
    std::vector<Tag> tags;
};

Tables tables(const floor::Sources& sources);

// The check's scan of a script in memory: false at the first record whose
// text measures other than its LENGTH, or holds what no table or tag reads.
bool scan(const Tables& tables, std::span<const std::uint8_t> script);
// The same of a script file, mapped.
bool scan_file(const Tables& tables, const std::filesystem::path& script);

// The script's records written into `image`; false as scan() is, or for a
// record past the image.
bool load_into(const Tables& tables, std::span<const std::uint8_t> script, std::span<std::uint8_t> image);
// The script's records written through a shared mapping of `rom`, synced.
bool load(const Tables& tables, const std::filesystem::path& script, const std::filesystem::path& rom);

// The dump of the ROM, replacing `out` as the tool replaces its files.
bool dump(const floor::DumpTables& tables, const std::filesystem::path& rom, const std::filesystem::path& out);

}  // namespace quillmere::bench::tight
