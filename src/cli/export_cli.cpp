// PLACEHOLDER until quillmere-cli export is merged: registers nothing, so
// that the command line links on this branch. Replaced by the real file.

#include "cli/commands.hpp"

namespace quillmere::cli {

void add_export_command(CLI::App&, Runner&) {}

}  // namespace quillmere::cli
