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

namespace quillmere::text {

using platform::FileError;

struct TextWriteFailure {
    enum class Kind { cannot_write, unencodable } kind = Kind::cannot_write;
    char32_t character = 0;  // the first character code page 936 cannot hold
    friend bool operator==(const TextWriteFailure&, const TextWriteFailure&) = default;
};

// Reading refuses at once what is not a regular file (a FIFO, a device, a
// directory). Writing replaces the file whole, or leaves it as it was.
Expected<Bytes, FileError> read_bytes(const std::filesystem::path& path);
Expected<Done, FileError> write_bytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Decodes a text file. Code page 936: unless it starts with the UTF-8
// byte-order mark, in which case it is UTF-8. UTF-8: always, with or without
// the mark. The mark is not part of the text.
Decoded decode_text_file(std::span<const std::uint8_t> bytes, Encoding encoding = Encoding::gbk);
Expected<Decoded, FileError> read_text_file(const std::filesystem::path& path, Encoding encoding = Encoding::gbk);
Expected<std::vector<std::u16string>, FileError> read_text_lines(const std::filesystem::path& path,
                                                                 Encoding encoding = Encoding::gbk);

// Writes exactly `text` (code page 936, or UTF-8 without a byte-order mark),
// creating or replacing the file as write_bytes does. Nothing is written when
// a character cannot be encoded.
Expected<Done, TextWriteFailure> write_text_file(const std::filesystem::path& path, std::u16string_view text,
                                                 Encoding encoding = Encoding::gbk);

}  // namespace quillmere::text
