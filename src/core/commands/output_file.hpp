#pragma once
// Where a command may write the files it produces.

#include <filesystem>

namespace quillmere {

// Whether two paths name one file, through links too; paths of files not yet
// made are compared as written out in full.
bool names_one_file(const std::filesystem::path& a, const std::filesystem::path& b);

// Whether `out` is the ROM being read, also through a link or under another
// name: a text written there would destroy the ROM.
bool is_the_rom(const std::filesystem::path& out, const std::filesystem::path& rom);

}  // namespace quillmere
