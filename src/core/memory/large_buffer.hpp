#pragma once
// Large buffers (a whole ROM's export text, a whole script) are filled once
// and dropped. Most of their cost is the page faults of first touch; asking
// for huge pages cuts those faults several hundredfold where the system
// allows it, and changes nothing where it does not.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/memory_advice.hpp"

namespace quillmere::memory {

// Reserves room for `size` characters and advises the untouched buffer.
template <class Char, class Traits, class Alloc>
void reserve_large(std::basic_string<Char, Traits, Alloc>& text, std::size_t size) {
    text.reserve(size);
    platform::advise_huge_pages(text.data(), text.capacity() * sizeof(Char));
}

// An allocator whose resize leaves the new elements unset, for buffers that
// are written right after they grow: a buffer reused for every entry of a
// script would otherwise be cleared again and again.
template <class T>
struct UnsetAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UnsetAllocator<U>;
    };
    UnsetAllocator() = default;
    template <class U>
    UnsetAllocator(const UnsetAllocator<U>&) noexcept {}

    template <class U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};

using ByteBuffer = std::vector<std::uint8_t, UnsetAllocator<std::uint8_t>>;

// Reserves room for `size` elements and advises the untouched buffer.
template <class T, class Alloc>
void reserve_large(std::vector<T, Alloc>& items, std::size_t size) {
    items.reserve(size);
    platform::advise_huge_pages(items.data(), items.capacity() * sizeof(T));
}

// A buffer of `size` bytes to be filled right away: neither cleared first
// nor faulted in page by page.
inline ByteBuffer unset_large_buffer(std::size_t size) {
    ByteBuffer bytes;
    reserve_large(bytes, size);
    bytes.resize(size);
    return bytes;
}

}  // namespace quillmere::memory
