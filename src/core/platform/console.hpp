#pragma once
// The command line and the standard streams as a program of this tool
// uses them, alike on every system.

#include <string>
#include <string_view>
#include <vector>

namespace quillmere::platform {

// The program's arguments, its name first, as UTF-8. POSIX gives them as
// they are; Windows gives the wide command line, so that names in any
// script survive whatever code page the console has.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// Standard output carries bytes as they are: a file's CR LF stays CR LF.
void use_binary_standard_output();

// Writes UTF-8 text to standard error: on a Windows console as characters
// (WriteConsoleW), so that Chinese shows whatever its code page; anywhere
// else (a file, a pipe, a POSIX terminal) as the UTF-8 bytes. False when it
// could not be written.
bool write_standard_error(std::string_view utf8);

}  // namespace quillmere::platform
