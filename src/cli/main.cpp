// quillmere-cli: export, check, import, charset and convert-table from the command line.

#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"

int main(int argc, char** argv) {
    using namespace quillmere::cli;
    CLI::App app{"Quillmere: export, check and import the text of ROM images; make a code table for a translation; convert code tables made for other tools"};
    app.require_subcommand(1);
    Runner run;
    add_commands(app, run);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        return status == 0 ? 0 : kExitUsage;
    }
    return run(Streams{std::cout, std::cerr});
}
