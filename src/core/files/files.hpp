#pragma once
// Whole-file reading and writing, bytes and code page 936 text.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.hpp"
#include "core/platform/regular_file.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::files {

using platform::FileError;
using text::Bytes;
using text::Decoded;
using text::Encoding;

struct TextWriteFailure {
    enum class Kind { cannot_write, unencodable } kind = Kind::cannot_write;
    char32_t character = 0;  // the first character code page 936 cannot hold
    friend bool operator==(const TextWriteFailure&, const TextWriteFailure&) = default;
};

// Reading refuses at once what is not a regular file (a FIFO, a device, a
// directory). Writing replaces the file whole, or leaves it as it was.
Expected<Bytes, FileError> read_bytes(const std::filesystem::path& path);
Expected<Done, FileError> write_bytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Decoded as text::decode_text_file does.
Expected<Decoded, FileError> read_text_file(const std::filesystem::path& path, Encoding encoding = Encoding::gbk);
Expected<std::vector<std::u16string>, FileError> read_text_lines(const std::filesystem::path& path,
                                                                 Encoding encoding = Encoding::gbk);

// Writes exactly `text` (code page 936, or UTF-8 without a byte-order mark),
// creating or replacing the file as write_bytes does. Nothing is written when
// a character cannot be encoded.
Expected<Done, TextWriteFailure> write_text_file(const std::filesystem::path& path, std::u16string_view contents,
                                                 Encoding encoding = Encoding::gbk);

}  // namespace quillmere::files
