#pragma once
// quillmere-cli as a whole: its arguments parsed, the chosen subcommand run,
// and whatever escapes a command turned into one message, with nothing
// written. The program's main and the tests both run it here.

#include <span>

#include "cli/cli_support.hpp"

namespace quillmere::cli {

// `args` as main receives them, the program's name first. The exit status.
int run_program(std::span<const char* const> args, const Streams& streams);

// Runs a parsed subcommand: the one place a failure that escaped a command
// is caught and told, as 错误, with exit status 1.
int run_guarded(const Runner& run, const Streams& streams);

}  // namespace quillmere::cli
