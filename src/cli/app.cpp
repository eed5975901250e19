#include "cli/app.hpp"

#include <new>
#include <ostream>

#include "cli/commands.hpp"
#include "core/commands/cli_help.hpp"
#include "core/commands/messages.hpp"
#include "core/version.hpp"

namespace quillmere::cli {

int run_program(std::span<const char* const> args, const Streams& streams) {
    CLI::App app{cli_help::kProgram, "quillmere-cli"};
    app.set_version_flag("--version", std::string(kVersion), cli_help::kVersion);
    app.require_subcommand(1);
    Runner run;
    add_commands(app, run);
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, streams.out, streams.err);
        return status == 0 ? kExitSuccess : kExitUsage;
    }
    return run_guarded(run, streams);
}

int run_guarded(const Runner& run, const Streams& streams) {
    // Every file the commands replace is written whole or not at all, and
    // the ROM only once everything is known, so a command that stops here
    // has left nothing half done.
    try {
        return run(streams);
    } catch (const std::bad_alloc&) {
        print_message(messages::out_of_memory(), streams);
    } catch (...) {
        print_message(messages::unexpected_failure(), streams);
    }
    return kExitFailure;
}

}  // namespace quillmere::cli
