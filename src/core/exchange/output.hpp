#pragma once
// The bytes of a file being made, written through a pointer: room is made
// before each piece and never cleared. Kept whole (for the tests and the
// fuzz harnesses), or handed on in pieces of a few mebibytes to the file
// that will replace the old one, so that a file of hundreds of megabytes
// never needs to be held at once.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "core/platform/memory_advice.hpp"
#include "core/platform/replace_file.hpp"

namespace quillmere::exchange {

class Output {
public:
    // From now on the bytes go to `file` (nullptr: they are dropped, once a
    // refusal is certain and only the problems are still looked for).
    void stream_to(platform::FileReplacement* file) {
        streaming_ = true;
        file_ = file;
        flush();
    }

    void reserve(std::size_t bytes) {
        if (!streaming_ && bytes > capacity_) grow_to(bytes);
    }
    // Room for at least `bytes` more, at the place returned; done() then
    // says where the piece ended.
    char* room(std::size_t bytes) {
        if (capacity_ - used_ < bytes) make_room(bytes);
        return data_.get() + used_;
    }
    void done(char* end) { used_ = static_cast<std::size_t>(end - data_.get()); }
    void append(std::string_view text) { done(std::copy(text.begin(), text.end(), room(text.size()))); }

    // Whatever is left goes to the file; false when a write to it failed.
    bool flush() {
        if (streaming_ && used_ > 0) {
            if (file_ && !file_->write(bytes())) failed_ = true;
            used_ = 0;
        }
        return !failed_;
    }

    // What is kept (everything, when nothing was streamed).
    std::string_view view() const { return {data_.get(), used_}; }
    std::span<const std::uint8_t> bytes() const { return {reinterpret_cast<const std::uint8_t*>(data_.get()), used_}; }

private:
    static constexpr std::size_t kPiece = std::size_t{4} << 20;

    void make_room(std::size_t bytes) {
        if (streaming_) {
            flush();
            if (capacity_ >= bytes) return;
            grow_to(std::max(kPiece, bytes));
            return;
        }
        grow_to(std::max(capacity_ * 2, used_ + bytes));
    }

    void grow_to(std::size_t size) {
        auto bigger = std::make_unique_for_overwrite<char[]>(size);
        platform::advise_huge_pages(bigger.get(), size);
        std::copy_n(data_.get(), used_, bigger.get());
        data_ = std::move(bigger);
        capacity_ = size;
    }

    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    bool streaming_ = false;
    platform::FileReplacement* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace quillmere::exchange
