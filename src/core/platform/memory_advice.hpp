#pragma once
// Advice to the system about memory the program is about to fill: large
// buffers ask for huge pages, which cuts the page faults of first touch.
// Advice that is refused, or a system without it, changes nothing.

#include <cstddef>

namespace quillmere::platform {

void advise_huge_pages(void* data, std::size_t bytes);

}  // namespace quillmere::platform
