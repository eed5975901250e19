#include "core/text/files.hpp"

#include "core/platform/replace_file.hpp"
#include "core/text/lines.hpp"
#include "core/text/mapped_file.hpp"

namespace quillmere::text {

Expected<Bytes, FileError> read_bytes(const std::filesystem::path& path) {
    auto file = platform::RegularFile::open(path);
    if (!file) return unexpected(file.error());
    return file->read_all();
}

Expected<Done, FileError> write_bytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    return platform::replace_file(path, bytes);
}

Decoded decode_text_file(std::span<const std::uint8_t> bytes, Encoding encoding) {
    const bool marked = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
    if (marked) return decode_utf8(bytes.subspan(3));
    return encoding == Encoding::utf8 ? decode_utf8(bytes) : decode_gbk(bytes);
}

Expected<Decoded, FileError> read_text_file(const std::filesystem::path& path, Encoding encoding) {
    auto file = MappedFile::open(path);
    if (!file) return unexpected(file.error());
    return decode_text_file(file->bytes(), encoding);
}

Expected<std::vector<std::u16string>, FileError> read_text_lines(const std::filesystem::path& path,
                                                                 Encoding encoding) {
    auto decoded = read_text_file(path, encoding);
    if (!decoded) return unexpected(decoded.error());
    return split_lines(decoded->text);
}

Expected<Done, TextWriteFailure> write_text_file(const std::filesystem::path& path, std::u16string_view text,
                                                 Encoding encoding) {
    auto bytes = encode(text, encoding);
    if (!bytes) return unexpected(TextWriteFailure{TextWriteFailure::Kind::unencodable, bytes.error().character});
    if (!write_bytes(path, *bytes)) return unexpected(TextWriteFailure{});
    return Done{};
}

}  // namespace quillmere::text
