#include <unistd.h>

#include <cerrno>

#include "core/platform/console.hpp"

namespace quillmere::platform {

std::vector<std::string> utf8_arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void use_binary_standard_output() {}

bool write_standard_error(std::string_view utf8) {
    while (!utf8.empty()) {
        const ssize_t put = ::write(STDERR_FILENO, utf8.data(), utf8.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        utf8.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace quillmere::platform
