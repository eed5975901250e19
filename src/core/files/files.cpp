#include "core/files/files.hpp"

#include "core/platform/replace_file.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/text/lines.hpp"

namespace quillmere::files {

Expected<Bytes, FileError> read_bytes(const std::filesystem::path& path) {
    auto file = platform::RegularFile::open(path);
    if (!file) return unexpected(file.error());
    return file->read_all();
}

Expected<Done, FileError> write_bytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    return platform::replace_file(path, bytes);
}

Expected<Decoded, FileError> read_text_file(const std::filesystem::path& path, Encoding encoding) {
    auto file = platform::MappedFile::open(path);
    if (!file) return unexpected(file.error());
    return text::decode_text_file(file->bytes(), encoding);
}

Expected<std::vector<std::u16string>, FileError> read_text_lines(const std::filesystem::path& path,
                                                                 Encoding encoding) {
    auto decoded = read_text_file(path, encoding);
    if (!decoded) return unexpected(decoded.error());
    return text::split_lines(decoded->text);
}

Expected<Done, TextWriteFailure> write_text_file(const std::filesystem::path& path, std::u16string_view contents,
                                                 Encoding encoding) {
    auto bytes = text::encode(contents, encoding);
    if (!bytes) return unexpected(TextWriteFailure{TextWriteFailure::Kind::unencodable, bytes.error().character});
    if (!write_bytes(path, *bytes)) return unexpected(TextWriteFailure{});
    return Done{};
}

}  // namespace quillmere::files
