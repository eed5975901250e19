// quillmere-cli: the tool's commands from the command line.

#include <iostream>
#include <span>

#include "cli/app.hpp"

int main(int argc, char** argv) {
    using namespace quillmere::cli;
    return run_program(std::span<const char* const>(argv, static_cast<std::size_t>(argc)), Streams{std::cout, std::cerr});
}
