#pragma once
// Large buffers (a whole ROM's export text, a whole script) are filled once
// and dropped. Most of their cost is the page faults of first touch; asking
// for huge pages cuts those faults several hundredfold where the system
// allows it, and changes nothing where it does not.

#include <cstddef>
#include <string>

namespace quillmere::text {

void advise_huge_pages(void* data, std::size_t bytes);

// Reserves room for `size` characters and advises the untouched buffer.
template <class Char, class Traits, class Alloc>
void reserve_large(std::basic_string<Char, Traits, Alloc>& text, std::size_t size) {
    text.reserve(size);
    advise_huge_pages(text.data(), text.capacity() * sizeof(Char));
}

}  // namespace quillmere::text
