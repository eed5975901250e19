#include "ui/huge_pages.hpp"

#include <unistd.h>

#include <cstdlib>

namespace quillmere::ui {

void restart_with_huge_pages(char* argv[]) {
#if defined(__linux__) && defined(__GLIBC__)
    if (std::getenv("GLIBC_TUNABLES") != nullptr) return;
    if (::setenv("GLIBC_TUNABLES", kHugePagesTunable, 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    ::unsetenv("GLIBC_TUNABLES");
#else
    (void)argv;
#endif
}

}  // namespace quillmere::ui
