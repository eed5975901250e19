#include "core/text/files.hpp"

#include <cstdio>
#include <memory>
#include <system_error>

#include "core/text/lines.hpp"
#include "core/text/mapped_file.hpp"

namespace quillmere::text {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open_file(const std::filesystem::path& path, const char* mode) {
    return File(std::fopen(path.c_str(), mode));
}

}  // namespace

Expected<Bytes, FileError> read_bytes(const std::filesystem::path& path) {
    std::error_code ec;
    if (path.empty() || std::filesystem::is_directory(path, ec)) return unexpected(FileError::cannot_open);
    File file = open_file(path, "rb");
    if (!file) return unexpected(FileError::cannot_open);
    Bytes bytes;
    auto size = std::filesystem::file_size(path, ec);
    if (!ec) bytes.reserve(static_cast<std::size_t>(size));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < sizeof buffer) break;
    }
    if (std::ferror(file.get())) return unexpected(FileError::cannot_read);
    return bytes;
}

Expected<Done, FileError> write_bytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) return unexpected(FileError::cannot_open);
    File file = open_file(path, "wb");
    if (!file) return unexpected(FileError::cannot_open);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return unexpected(FileError::cannot_write);
    if (std::fclose(file.release()) != 0) return unexpected(FileError::cannot_write);
    return Done{};
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
