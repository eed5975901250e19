#pragma once

#include "cli/cli_support.hpp"

namespace quillmere::cli {

// Each adds one subcommand; when it is chosen, `run` is set to run it.
void add_export_command(CLI::App& app, Runner& run);
void add_check_command(CLI::App& app, Runner& run);
void add_import_command(CLI::App& app, Runner& run);
void add_charset_command(CLI::App& app, Runner& run);
void add_pointers_command(CLI::App& app, Runner& run);
void add_convert_table_command(CLI::App& app, Runner& run);
void add_find_command(CLI::App& app, Runner& run);
void add_exchange_command(CLI::App& app, Runner& run);
void add_patch_command(CLI::App& app, Runner& run);
void add_diff_command(CLI::App& app, Runner& run);

inline void add_commands(CLI::App& app, Runner& run) {
    add_export_command(app, run);
    add_check_command(app, run);
    add_import_command(app, run);
    add_charset_command(app, run);
    add_pointers_command(app, run);
    add_convert_table_command(app, run);
    add_find_command(app, run);
    add_exchange_command(app, run);
    add_patch_command(app, run);
    add_diff_command(app, run);
}

}  // namespace quillmere::cli
