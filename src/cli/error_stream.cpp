#include "cli/error_stream.hpp"

#include "core/platform/console.hpp"

namespace quillmere::cli {

ErrorStreamBuffer::~ErrorStreamBuffer() {
    // What is left has no line end; it is written all the same.
    if (!pending_.empty()) static_cast<void>(platform::write_standard_error(pending_));
}

ErrorStreamBuffer::int_type ErrorStreamBuffer::overflow(int_type byte) {
    if (traits_type::eq_int_type(byte, traits_type::eof())) return traits_type::not_eof(byte);
    pending_ += traits_type::to_char_type(byte);
    if (pending_.back() == '\n' && sync() != 0) return traits_type::eof();
    return byte;
}

std::streamsize ErrorStreamBuffer::xsputn(const char* bytes, std::streamsize count) {
    pending_.append(bytes, static_cast<std::size_t>(count));
    if (sync() != 0) return 0;
    return count;
}

int ErrorStreamBuffer::sync() {
    const std::size_t end = pending_.rfind('\n');
    if (end == std::string::npos) return 0;
    const bool written = platform::write_standard_error(std::string_view(pending_).substr(0, end + 1));
    pending_.erase(0, end + 1);
    return written ? 0 : -1;
}

}  // namespace quillmere::cli
