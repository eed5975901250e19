// quillmere-cli: the tool's commands from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "cli/app.hpp"
#include "cli/error_stream.hpp"
#include "core/platform/console.hpp"

int main(int argc, char** argv) {
    using namespace quillmere;
    // Standard output carries the export's bytes as they are; the arguments
    // and every message are UTF-8 inside the program, on every system.
    platform::use_binary_standard_output();
    const std::vector<std::string> arguments = platform::utf8_arguments(argc, argv);
    std::vector<const char*> args;
    for (const std::string& argument : arguments) args.push_back(argument.c_str());
    cli::ErrorStreamBuffer error_buffer;
    std::ostream error_stream(&error_buffer);
    const int status = cli::run_program(args, cli::Streams{std::cout, error_stream});
    std::cout.flush();
    return status;
}
