#include "core/platform/memory_advice.hpp"

namespace quillmere::platform {

// Windows gives large pages only to programs holding a privilege ordinary
// users lack, and only to memory allocated for them: there is no advice to
// give about a buffer the C++ library already has.
void advise_huge_pages(void*, std::size_t) {}

}  // namespace quillmere::platform
