// PLACEHOLDER, to be replaced by the check and import subcommands: registers
// nothing, so that quillmere-cli links while those are written elsewhere.

#include "cli/commands.hpp"

namespace quillmere::cli {

void add_check_command(CLI::App&, Runner&) {}
void add_import_command(CLI::App&, Runner&) {}

}  // namespace quillmere::cli
