#pragma once
// The window holds texts of a hundred megabytes (a whole ROM's export in its
// editors). Filled in 4 KiB pages, such a text costs more in page faults
// than in everything else; the C library asks the kernel for transparent
// huge pages for its large blocks only when told so before the program
// starts.

namespace quillmere::ui {

inline constexpr const char* kHugePagesTunable = "glibc.malloc.hugetlb=1";

// Starts the program once more, with the same arguments, told to use huge
// pages; returns only when that is not done: the setting is there already,
// the user set GLIBC_TUNABLES to something else, or the restart failed (the
// program then goes on as it is).
void restart_with_huge_pages(char* argv[]);

}  // namespace quillmere::ui
